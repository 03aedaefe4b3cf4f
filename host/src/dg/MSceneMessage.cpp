#include <maya/MSceneMessage.h>


#include "dg/CallbackRegistry.h"
#include "dg/Messages.h"

using host::CbKind;

MCallbackId MSceneMessage::addCallback(Message msg, MMessage::MBasicFunction func, void* clientData,
                                       MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::Scene, func, clientData, nullptr, msg, MString(), ReturnStatus);
}

MCallbackId MSceneMessage::addCallback(Message msg, void (*func)(bool*, void*), void* clientData,
                                       MStatus* ReturnStatus)
{
    return addCheckCallback(msg, func, clientData, ReturnStatus);
}

MCallbackId MSceneMessage::addCallback(Message msg, void (*func)(bool*, MFileObject&, void*), void* clientData,
                                       MStatus* ReturnStatus)
{
    return addCheckFileCallback(msg, func, clientData, ReturnStatus);
}

MCallbackId MSceneMessage::addCheckCallback(Message msg, MMessage::MCheckFunction func, void* clientData,
                                            MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::SceneCheck, func, clientData, nullptr, msg, MString(), ReturnStatus);
}

MCallbackId MSceneMessage::addCheckFileCallback(Message msg, MMessage::MCheckFileFunction func, void* clientData,
                                                MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::SceneCheckFile, func, clientData, nullptr, msg, MString(), ReturnStatus);
}

MCallbackId MSceneMessage::addStringArrayCallback(Message msg, MMessage::MStringArrayFunction func, void* clientData,
                                                  MStatus* ReturnStatus)
{
    return host::addTyped(CbKind::SceneStringArray, func, clientData, nullptr, msg, MString(), ReturnStatus);
}

