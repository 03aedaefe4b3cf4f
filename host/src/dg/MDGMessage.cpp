#include <maya/MDGMessage.h>


#include "dg/CallbackRegistry.h"
#include "dg/Messages.h"

using host::CbKind;

MCallbackId MDGMessage::addTimeChangeCallback(MMessage::MTimeFunction func, void* clientData, MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::TimeChange, func, clientData, nullptr, 0, MString(), ReturnStatus);
}

MCallbackId MDGMessage::addForceUpdateCallback(MMessage::MTimeFunction func, void* clientData, MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::ForceUpdate, func, clientData, nullptr, 0, MString(), ReturnStatus);
}

MCallbackId MDGMessage::addNodeAddedCallback(MMessage::MNodeFunction func, const MString& nodeType,
                                             void* clientData, MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::NodeAdded, func, clientData, nullptr, 0, nodeType, ReturnStatus);
}

MCallbackId MDGMessage::addNodeRemovedCallback(MMessage::MNodeFunction func, const MString& nodeType,
                                               void* clientData, MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::NodeRemoved, func, clientData, nullptr, 0, nodeType, ReturnStatus);
}

MCallbackId MDGMessage::addConnectionCallback(MMessage::MPlugFunction func, void* clientData, MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::Connection, func, clientData, nullptr, 0, MString(), ReturnStatus);
}

