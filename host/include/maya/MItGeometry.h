#ifndef MAYA_MITGEOMETRY_H
#define MAYA_MITGEOMETRY_H

#include <maya/MDagPath.h>
#include <maya/MDataHandle.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

// Iterates over the points of a geometry (mesh vertices, curve CVs), either a
// shape's through its DAG path or the geometry held by a data handle (what a
// deformer is given). The bulk calls read and write every point in one go.
class MItGeometry
{
public:
    MItGeometry(MDagPath& dagPath, MStatus* ReturnStatus = NULL);
    MItGeometry(MDagPath& dagPath, MObject& component, MStatus* ReturnStatus = NULL);
    MItGeometry(MDataHandle& dataHandle, unsigned int groupId, bool readOnly = true, MStatus* ReturnStatus = NULL);
    MItGeometry(MDataHandle& dataHandle, bool readOnly = true, MStatus* ReturnStatus = NULL);
    virtual ~MItGeometry();

    bool isDone(MStatus* ReturnStatus = NULL) const;
    MStatus next();
    MStatus reset();

    MPoint position(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MStatus setPosition(const MPoint& point, MSpace::Space space = MSpace::kObject);
    MVector normal(MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    int index(MStatus* ReturnStatus = NULL) const;
    MObject currentItem(MStatus* ReturnStatus = NULL);
    MObject component(MStatus* ReturnStatus = NULL);
    int count(MStatus* ReturnStatus = NULL) const;
    int exactCount(MStatus* ReturnStatus = NULL);

    MStatus allPositions(MPointArray& positions, MSpace::Space space = MSpace::kObject) const;
    MStatus setAllPositions(const MPointArray& positions, MSpace::Space space = MSpace::kObject);

private:
    MItGeometry(const MItGeometry&) = delete;
    MItGeometry& operator=(const MItGeometry&) = delete;
    void attach(MStatus* ReturnStatus);

    MDagPath fPath;          // shape iterated (path form)
    MDataHandle fHandle;     // geometry iterated (handle form)
    bool fFromHandle = false;
    bool fReadOnly = true;
    MObject fData;           // the geometry data object the points live in
    MMatrix fToWorld;        // object to world space
    int fCount = 0;
    int fIndex = 0;
};

#endif
