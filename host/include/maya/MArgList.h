#ifndef MAYA_MARGLIST_H
#define MAYA_MARGLIST_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <memory>

class MAngle;
class MDistance;
class MDoubleArray;
class MIntArray;
class MMatrix;
class MPoint;
class MStringArray;
class MTime;
class MVector;

namespace host { struct ArgListData; struct ArgListAccess; }

// The arguments of one command invocation, in the order given.
class MArgList
{
public:
    MArgList();
    MArgList(const MArgList& other);
    MArgList& operator=(const MArgList& other);
    ~MArgList();

    unsigned int length(MStatus* ReturnStatus = NULL) const;

    bool asBool(unsigned int index, MStatus* ReturnStatus = NULL) const;
    int asInt(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double asDouble(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MString asString(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MDistance asDistance(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MAngle asAngle(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MTime asTime(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MVector asVector(unsigned int& index, unsigned int numElements = 3, MStatus* ReturnStatus = NULL) const;
    MPoint asPoint(unsigned int& index, unsigned int numElements = 3, MStatus* ReturnStatus = NULL) const;
    MMatrix asMatrix(unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MStringArray asStringArray(unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MIntArray asIntArray(unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MDoubleArray asDoubleArray(unsigned int& index, MStatus* ReturnStatus = NULL) const;

    unsigned int flagIndex(const char* shortFlag, const char* longFlag = NULL) const;

    MStatus addArg(bool arg);
    MStatus addArg(int arg);
    MStatus addArg(double arg);
    MStatus addArg(const MString& arg);
    MStatus addArg(const MDistance& arg);
    MStatus addArg(const MAngle& arg);
    MStatus addArg(const MTime& arg);
    MStatus addArg(const MVector& arg);
    MStatus addArg(const MPoint& arg);

    static const unsigned int kInvalidArgIndex;

private:
    friend struct host::ArgListAccess;
    std::unique_ptr<host::ArgListData> fData;
};

#endif
