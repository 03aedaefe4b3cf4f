#ifndef MAYA_MITGEOMETRY_H
#define MAYA_MITGEOMETRY_H

#include <maya/MObject.h>
#include <maya/MTypes.h>

#include <memory>

namespace host { struct GeometryIterationTarget; }

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

    // The shape (path form) or the data handle (handle form) iterated, and the
    // object-to-world matrix.
    std::unique_ptr<host::GeometryIterationTarget> fTarget;
    bool fFromHandle = false;
    bool fReadOnly = true;
    MObject fData;           // the geometry data object the points live in
    int fCount = 0;
    int fIndex = 0;
};

#endif
