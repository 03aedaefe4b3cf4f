#ifndef MAYA_MDATAHANDLE_H
#define MAYA_MDATAHANDLE_H

#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MAngle;
class MDistance;
class MTime;
class MMatrix;
class MFloatMatrix;
class MVector;
class MFloatVector;
class MString;
class MPlug;
class MPxData;

namespace host { struct Slot; struct DataAccess; }

// Reference to one value in a data block (or in an array builder).
class MDataHandle
{
public:
    MDataHandle();
    MDataHandle(const MDataHandle& other);
    MDataHandle& operator=(const MDataHandle& other);
    ~MDataHandle();

    bool isNumeric() const;
    bool isGeneric(bool& isNumeric, bool& isNull) const;
    MFnNumericData::Type numericType() const;
    MFnData::Type type() const;
    MTypeId typeId() const;
    MObject data();
    MStatus copy(const MDataHandle& src);
    MStatus copyWritable(const MDataHandle& src);

    bool& asBool() const;
    char& asChar() const;
    unsigned char& asUChar() const;
    short& asShort() const;
    int& asInt() const;
    MInt64& asInt64() const;
    float& asFloat() const;
    double& asDouble() const;
    void*& asAddr() const;
    MDistance asDistance() const;
    MAngle asAngle() const;
    MTime asTime() const;
    short2& asShort2() const;
    int2& asInt2() const;
    float2& asFloat2() const;
    double2& asDouble2() const;
    short3& asShort3() const;
    int3& asInt3() const;
    float3& asFloat3() const;
    double3& asDouble3() const;
    MVector& asVector() const;
    MFloatVector& asFloatVector() const;
    MMatrix& asMatrix() const;
    MFloatMatrix& asFloatMatrix() const;
    MString& asString() const;
    MObject asMesh() const;
    MObject asNurbsCurve() const;
    MObject asNurbsSurface() const;
    MObject asSubdSurface() const;
    MObject asMeshTransformed() const;
    MObject asNurbsCurveTransformed() const;
    MPxData* asPluginData() const;

    void set(bool value);
    void set(char value);
    void set(short value);
    void set(int value);
    void set(MInt64 value);
    void set(float value);
    void set(double value);
    void set(const MMatrix& value);
    void set(const MFloatMatrix& value);
    void set(const MVector& value);
    void set(const MFloatVector& value);
    void set(const MDistance& value);
    void set(const MAngle& value);
    void set(const MTime& value);
    void set(const MString& value);
    void set(short a, short b);
    void set(int a, int b);
    void set(float a, float b);
    void set(double a, double b);
    void set(short a, short b, short c);
    void set(int a, int b, int c);
    void set(float a, float b, float c);
    void set(double a, double b, double c);
    MStatus set(const MObject& data);
    MStatus set(MPxData* data);

    void setBool(bool value);
    void setChar(char value);
    void setShort(short value);
    void setInt(int value);
    void setInt64(MInt64 value);
    void setFloat(float value);
    void setDouble(double value);
    void setMMatrix(const MMatrix& value);
    void setMFloatMatrix(const MFloatMatrix& value);
    void setMVector(const MVector& value);
    void setMFloatVector(const MFloatVector& value);
    void setMDistance(const MDistance& value);
    void setMAngle(const MAngle& value);
    void setMTime(const MTime& value);
    void setString(const MString& value);
    void set2Short(short a, short b);
    void set2Int(int a, int b);
    void set2Float(float a, float b);
    void set2Double(double a, double b);
    void set3Short(short a, short b, short c);
    void set3Int(int a, int b, int c);
    void set3Float(float a, float b, float c);
    void set3Double(double a, double b, double c);
    void setClean();

    MDataHandle child(const MPlug& plug);
    MDataHandle child(const MObject& attribute);
    MObject attribute();

private:
    friend struct host::DataAccess;
    host::Slot* mSlot;
    // Holds a converted value when a getter's type differs from the storage.
    mutable double mScratch[16];
};

#endif
