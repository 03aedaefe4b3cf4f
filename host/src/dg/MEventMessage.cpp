#include <maya/MEventMessage.h>

#include <maya/MStringArray.h>

#include "dg/CallbackRegistry.h"
#include "dg/Messages.h"

using host::CbKind;

MCallbackId MEventMessage::addEventCallback(const MString& eventName, MMessage::MBasicFunction func, void* clientData,
                                            MStatus* ReturnStatus)
{
    if (!host::isKnownEvent(eventName)) {
        if (ReturnStatus)
            *ReturnStatus = MStatus::kInvalidParameter;
        return 0;
    }
    return host::addTyped(CbKind::Event, func, clientData, nullptr, 0, eventName, ReturnStatus);
}

MStatus MEventMessage::getEventNames(MStringArray& eventNames)
{
    std::vector<MString> names;
    host::eventNames(names);
    eventNames.clear();
    for (const MString& name : names)
        eventNames.append(name);
    return MStatus::kSuccess;
}

