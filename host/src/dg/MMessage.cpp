#include <maya/MMessage.h>

#include <maya/MCallbackIdArray.h>
#include <maya/MObject.h>

#include "dg/CallbackRegistry.h"
#include "dg/Messages.h"

using host::CbKind;

MStatus MMessage::removeCallback(MCallbackId id)
{
    return host::removeCallbackById(id);
}

MStatus MMessage::removeCallbacks(MCallbackIdArray& ids)
{
    MStatus result = MStatus::kSuccess;
    for (unsigned i = 0; i < ids.length(); ++i) {
        MStatus status = host::removeCallbackById(ids[i]);
        if (!status)
            result = status;
    }
    return result;
}

MCallbackId MMessage::currentCallbackId(MStatus* ReturnStatus)
{
    return host::runningCallbackId(ReturnStatus);
}

MStatus MMessage::nodeCallbacks(MObject& node, MCallbackIdArray& ids)
{
    host::Node* n = host::nodeOf(node);
    if (!n)
        return MStatus::kInvalidParameter;
    std::vector<MCallbackId> found;
    host::callbacksOfNode(n, found);
    ids.clear();
    for (MCallbackId id : found)
        ids.append(id);
    return MStatus::kSuccess;
}

