#ifndef MAYA_MDGMESSAGE_H
#define MAYA_MDGMESSAGE_H

#include <maya/MMessage.h>
#include <maya/MString.h>

#define kDefaultNodeType "dependNode"

// Dependency-graph events: time change, forced update, nodes, connections.
class MDGMessage : public MMessage
{
public:
    static MCallbackId addTimeChangeCallback(MMessage::MTimeFunction func, void* clientData = NULL,
                                             MStatus* ReturnStatus = NULL);
    static MCallbackId addForceUpdateCallback(MMessage::MTimeFunction func, void* clientData = NULL,
                                              MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeAddedCallback(MMessage::MNodeFunction func,
                                            const MString& nodeType = kDefaultNodeType,
                                            void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeRemovedCallback(MMessage::MNodeFunction func,
                                              const MString& nodeType = kDefaultNodeType,
                                              void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addConnectionCallback(MMessage::MPlugFunction func, void* clientData = NULL,
                                             MStatus* ReturnStatus = NULL);
};

#endif
