#ifndef MAYA_MPLUG_H
#define MAYA_MPLUG_H

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

class MAngle;
class MDistance;
class MTime;
class MDataHandle;
class MDGContext;
class MIntArray;
class MPlugArray;
class MPxData;

namespace host { struct PlugAccess; }

// A node's attribute, with the logical indices of its array levels.
class MPlug
{
public:
    MPlug();
    MPlug(const MObject& node, const MObject& attribute);
    MPlug(const MPlug& other);
    ~MPlug();
    MPlug& operator=(const MPlug& other);

    bool operator==(const MPlug& other) const;
    bool operator==(const MObject& attr) const;
    bool operator!=(const MPlug& other) const;
    bool operator!=(const MObject& attr) const;
    bool isNull(MStatus* ReturnStatus = NULL) const;

    MObject attribute(MStatus* ReturnStatus = NULL) const;
    MObject node(MStatus* ReturnStatus = NULL) const;
    MString name(MStatus* ReturnStatus = NULL) const;
    MString partialName(bool includeNodeName = false, bool includeNonMandatoryIndices = false,
                        bool includeInstancedIndices = false, bool useAlias = false,
                        bool useFullAttributePath = false, bool useLongNames = false,
                        MStatus* ReturnStatus = NULL) const;
    MString info(MStatus* ReturnStatus = NULL) const;

    bool isNetworked(MStatus* ReturnStatus = NULL) const;
    bool isArray(MStatus* ReturnStatus = NULL) const;
    bool isElement(MStatus* ReturnStatus = NULL) const;
    bool isCompound(MStatus* ReturnStatus = NULL) const;
    bool isChild(MStatus* ReturnStatus = NULL) const;
    bool isDynamic(MStatus* ReturnStatus = NULL) const;
    bool isConnected(MStatus* ReturnStatus = NULL) const;
    bool isDestination(MStatus* ReturnStatus = NULL) const;
    bool isSource(MStatus* ReturnStatus = NULL) const;
    bool isKeyable(MStatus* ReturnStatus = NULL) const;
    bool isLocked(MStatus* ReturnStatus = NULL) const;
    bool isChannelBox(MStatus* ReturnStatus = NULL) const;

    unsigned int logicalIndex(MStatus* ReturnStatus = NULL) const;
    MStatus selectAncestorLogicalIndex(unsigned int index, const MObject& attribute = MObject::kNullObj);
    unsigned int numElements(MStatus* ReturnStatus = NULL) const;
    unsigned int evaluateNumElements(MStatus* ReturnStatus = NULL) const;
    unsigned int numChildren(MStatus* ReturnStatus = NULL) const;
    unsigned int numConnectedElements(MStatus* ReturnStatus = NULL) const;
    unsigned int numConnectedChildren(MStatus* ReturnStatus = NULL) const;
    MPlug elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug elementByPhysicalIndex(unsigned int physicalIndex, MStatus* ReturnStatus = NULL) const;
    MPlug operator[](unsigned int physicalIndex) const;
    MPlug child(const MObject& attr, MStatus* ReturnStatus = NULL) const;
    MPlug child(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MPlug parent(MStatus* ReturnStatus = NULL) const;
    MPlug array(MStatus* ReturnStatus = NULL) const;
    unsigned int getExistingArrayAttributeIndices(MIntArray& indices, MStatus* ReturnStatus = NULL);

    bool connectedTo(MPlugArray& array, bool asDst, bool asSrc, MStatus* ReturnStatus = NULL) const;
    MPlug source(MStatus* ReturnStatus = NULL) const;
    bool destinations(MPlugArray& theDestinations, MStatus* ReturnStatus = NULL) const;

    bool asBool(MStatus* ReturnStatus = NULL) const;
    char asChar(MStatus* ReturnStatus = NULL) const;
    short asShort(MStatus* ReturnStatus = NULL) const;
    int asInt(MStatus* ReturnStatus = NULL) const;
    MInt64 asInt64(MStatus* ReturnStatus = NULL) const;
    float asFloat(MStatus* ReturnStatus = NULL) const;
    double asDouble(MStatus* ReturnStatus = NULL) const;
    MAngle asMAngle(MStatus* ReturnStatus = NULL) const;
    MDistance asMDistance(MStatus* ReturnStatus = NULL) const;
    MTime asMTime(MStatus* ReturnStatus = NULL) const;
    MObject asMObject(MStatus* ReturnStatus = NULL) const;
    MString asString(MStatus* ReturnStatus = NULL) const;
    MDataHandle asMDataHandle(MStatus* ReturnStatus = NULL) const;

    bool asBool(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    char asChar(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    short asShort(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    int asInt(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    MInt64 asInt64(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    float asFloat(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    double asDouble(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    MAngle asMAngle(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    MDistance asMDistance(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    MTime asMTime(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    MObject asMObject(const MDGContext& context, MStatus* ReturnStatus = NULL) const;
    MString asString(const MDGContext& context, MStatus* ReturnStatus = NULL) const;

    MStatus setValue(bool value);
    MStatus setValue(char value);
    MStatus setValue(short value);
    MStatus setValue(int value);
    MStatus setValue(MInt64 value);
    MStatus setValue(float value);
    MStatus setValue(double value);
    MStatus setValue(const MString& value);
    MStatus setValue(const char* value);
    MStatus setValue(MObject& value);
    MStatus setValue(MDataHandle& value);
    MStatus setValue(MPxData* value);
    MStatus setValue(const MAngle& value);
    MStatus setValue(const MDistance& value);
    MStatus setValue(const MTime& value);

    MStatus setBool(bool value);
    MStatus setChar(char value);
    MStatus setShort(short value);
    MStatus setInt(int value);
    MStatus setInt64(MInt64 value);
    MStatus setFloat(float value);
    MStatus setDouble(double value);
    MStatus setString(const MString& value);
    MStatus setMObject(const MObject& value);
    MStatus setMPxData(MPxData* value);
    MStatus setMDataHandle(MDataHandle value);
    MStatus setMAngle(const MAngle& value);
    MStatus setMDistance(const MDistance& value);
    MStatus setMTime(const MTime& value);

    MStatus setLocked(bool locked);
    MStatus setKeyable(bool keyable);
    MStatus setChannelBox(bool channelBox);

private:
    friend struct host::PlugAccess;
    MObject mNode;
    MObject mAttr;
    int mIndex[4];  // logical index per attribute depth; -1 = none
};

#endif
