#ifndef MAYA_MCOMMANDRESULT_H
#define MAYA_MCOMMANDRESULT_H

#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#include <memory>

class MDoubleArray;
class MIntArray;
class MStringArray;
class MVector;
class MVectorArray;

namespace host { class MelValue; struct CommandResultAccess; }

// The result of a command run through MGlobal::executeCommand.
class MCommandResult
{
public:
    enum Type {
        kInvalid = 0,
        kInt,
        kInt64,
        kIntArray,
        kInt64Array,
        kDouble,
        kDoubleArray,
        kString,
        kStringArray,
        kVector,
        kVectorArray,
        kMatrix,
        kMatrixArray
    };

    MCommandResult(MStatus* ReturnStatus = NULL);
    virtual ~MCommandResult();

    Type resultType(MStatus* ReturnStatus = NULL) const;

    MStatus getResult(int& result) const;
    MStatus getResult(MInt64& result) const;
    MStatus getResult(MIntArray& result) const;
    MStatus getResult(double& result) const;
    MStatus getResult(MDoubleArray& result) const;
    MStatus getResult(MString& result) const;
    MStatus getResult(MStringArray& result) const;
    MStatus getResult(MVector& result) const;
    MStatus getResult(MVectorArray& result) const;
    MStatus getResult(MDoubleArray& result, int& numRows, int& numColumns) const;

private:
    MCommandResult(const MCommandResult&) = delete;
    MCommandResult& operator=(const MCommandResult&) = delete;

    friend struct host::CommandResultAccess;
    std::unique_ptr<host::MelValue> fValue;
};

#endif
