#ifndef MAYA_MNODEMESSAGE_H
#define MAYA_MNODEMESSAGE_H

#include <maya/MMessage.h>

// Per-node events: dirty plugs, attribute changes, renames, deletion.
class MNodeMessage : public MMessage
{
public:
    enum AttributeMessage {
        kConnectionMade = 0x01,
        kConnectionBroken = 0x02,
        kAttributeEval = 0x04,
        kAttributeSet = 0x08,
        kAttributeLocked = 0x10,
        kAttributeUnlocked = 0x20,
        kAttributeAdded = 0x40,
        kAttributeRemoved = 0x80,
        kAttributeRenamed = 0x100,
        kAttributeKeyable = 0x200,
        kAttributeUnkeyable = 0x400,
        kIncomingDirection = 0x800,
        kAttributeArrayAdded = 0x1000,
        kAttributeArrayRemoved = 0x2000,
        kOtherPlugSet = 0x4000,
        kLast = 0x8000
    };
    typedef void (*MAttr2PlugFunction)(MNodeMessage::AttributeMessage msg, MPlug& plug, MPlug& otherPlug,
                                       void* clientData);

    static MCallbackId addNodeDirtyPlugCallback(MObject& node, MMessage::MNodePlugFunction func,
                                                void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeDirtyCallback(MObject& node, MMessage::MBasicFunction func, void* clientData = NULL,
                                            MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeDirtyCallback(MObject& node, MMessage::MNodeFunction func, void* clientData = NULL,
                                            MStatus* ReturnStatus = NULL);
    static MCallbackId addAttributeChangedCallback(MObject& node, MNodeMessage::MAttr2PlugFunction func,
                                                   void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeDestroyedCallback(MObject& node, MMessage::MBasicFunction func,
                                                void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addNodeAboutToDeleteCallback(MObject& node, MMessage::MNodeModifierFunction func,
                                                    void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MCallbackId addNameChangedCallback(MObject& node, MMessage::MNodeStringFunction func,
                                              void* clientData = NULL, MStatus* ReturnStatus = NULL);
};

#endif
