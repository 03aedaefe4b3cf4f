#include <maya/MNodeMessage.h>

#include <maya/MObject.h>

#include "dg/CallbackRegistry.h"
#include "dg/Messages.h"

using host::CbKind;

namespace {
template <class F>
MCallbackId addNodeCallback(CbKind kind, MObject& node, F func, void* clientData, MStatus* ReturnStatus)
{
    host::Node* n = host::nodeOf(node);
    if (!n) {
        if (ReturnStatus)
            *ReturnStatus = MStatus::kInvalidParameter;
        return 0;
    }
    return host::addTyped(kind, func, clientData, n, 0, MString(), ReturnStatus);
}
} // namespace

MCallbackId MNodeMessage::addNodeDirtyPlugCallback(MObject& node, MMessage::MNodePlugFunction func, void* clientData,
                                                   MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::NodeDirtyPlug, node, func, clientData, ReturnStatus);
}

MCallbackId MNodeMessage::addNodeDirtyCallback(MObject& node, MMessage::MBasicFunction func, void* clientData,
                                               MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::NodeDirtyBasic, node, func, clientData, ReturnStatus);
}

MCallbackId MNodeMessage::addNodeDirtyCallback(MObject& node, MMessage::MNodeFunction func, void* clientData,
                                               MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::NodeDirtyNode, node, func, clientData, ReturnStatus);
}

MCallbackId MNodeMessage::addAttributeChangedCallback(MObject& node, MNodeMessage::MAttr2PlugFunction func,
                                                      void* clientData, MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::AttributeChanged, node, func, clientData, ReturnStatus);
}

MCallbackId MNodeMessage::addNodeDestroyedCallback(MObject& node, MMessage::MBasicFunction func, void* clientData,
                                                   MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::NodeDestroyed, node, func, clientData, ReturnStatus);
}

MCallbackId MNodeMessage::addNodeAboutToDeleteCallback(MObject& node, MMessage::MNodeModifierFunction func,
                                                       void* clientData, MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::AboutToDelete, node, func, clientData, ReturnStatus);
}

MCallbackId MNodeMessage::addNameChangedCallback(MObject& node, MMessage::MNodeStringFunction func, void* clientData,
                                                 MStatus* ReturnStatus)
{
    return addNodeCallback(CbKind::NameChanged, node, func, clientData, ReturnStatus);
}
