#ifndef MAYA_MFNBASE_H
#define MAYA_MFNBASE_H

#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

// Base of every function set: holds the object it operates on.
class MFnBase
{
public:
    MFnBase();
    virtual ~MFnBase();

    virtual MFn::Type type() const;
    bool hasObj(MFn::Type type) const;
    bool hasObj(const MObject& object) const;
    MObject object(MStatus* ReturnStatus = NULL) const;
    virtual MStatus setObject(MObject& object);
    virtual MStatus setObject(const MObject& object);

protected:
    // Attaches to the object when it is compatible with type(); used by the
    // (MObject&, MStatus*) constructors of every derived set.
    void init(const MObject& object, MStatus* ReturnStatus);
    MObject mObject;
};

#endif
