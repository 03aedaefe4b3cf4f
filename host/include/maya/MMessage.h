#ifndef MAYA_MMESSAGE_H
#define MAYA_MMESSAGE_H

#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <cstdint>

// Names one registered callback, for its removal.
typedef uintptr_t MCallbackId;

class MCallbackIdArray;
class MDagPath;
class MObject;
class MPlug;
class MString;
class MStringArray;
class MTime;
class MFileObject;
class MDGModifier;

// Base of the message classes: callback types and removal.
class MMessage
{
public:
    enum Action { kDefaultAction, kDoNotDoAction, kDoAction };

    typedef void (*MBasicFunction)(void* clientData);
    typedef void (*MParentChildFunction)(MDagPath& child, MDagPath& parent, void* clientData);
    typedef void (*MElapsedTimeFunction)(float elapsedTime, float lastTime, void* clientData);
    typedef void (*MCheckFunction)(bool* retCode, void* clientData);
    typedef void (*MCheckFileFunction)(bool* retCode, MFileObject& file, void* clientData);
    typedef void (*MCheckPlugFunction)(bool* retCode, MPlug& plug, void* clientData);
    typedef void (*MNodeFunction)(MObject& node, void* clientData);
    typedef void (*MNodeModifierFunction)(MObject& node, MDGModifier& modifier, void* clientData);
    typedef void (*MStringFunction)(const MString& str, void* clientData);
    typedef void (*MTwoStringFunction)(const MString& str1, const MString& str2, void* clientData);
    typedef void (*MStringArrayFunction)(const MStringArray& strs, void* clientData);
    typedef void (*MTimeFunction)(MTime& time, void* clientData);
    typedef void (*MNodePlugFunction)(MObject& node, MPlug& plug, void* clientData);
    typedef void (*MPlugFunction)(MPlug& srcPlug, MPlug& destPlug, bool made, void* clientData);
    typedef void (*MNodeStringFunction)(MObject& node, const MString& str, void* clientData);

    static MStatus removeCallback(MCallbackId id);
    static MStatus removeCallbacks(MCallbackIdArray& ids);
    static MCallbackId currentCallbackId(MStatus* ReturnStatus = NULL);
    static MStatus nodeCallbacks(MObject& node, MCallbackIdArray& ids);
};

#endif
