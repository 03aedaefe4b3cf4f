#ifndef MAYA_MFNNURBSCURVE_H
#define MAYA_MFNNURBSCURVE_H

#include <maya/MFnDagNode.h>
#include <maya/MTypes.h>

#ifndef kMFnNurbsEpsilon
#define kMFnNurbsEpsilon 1.0e-3
#endif

// Function set for NURBS curves (shape nodes and curve data).
class MFnNurbsCurve : public MFnDagNode
{
public:
    enum Form { kInvalid = 0, kOpen, kClosed, kPeriodic, kLast };

    MFnNurbsCurve();
    MFnNurbsCurve(MObject& object, MStatus* ReturnStatus = NULL);
    MFnNurbsCurve(const MObject& object, MStatus* ReturnStatus = NULL);
    MFnNurbsCurve(const MDagPath& object, MStatus* ReturnStatus = NULL);
    ~MFnNurbsCurve() override;

    MFn::Type type() const override;
    MStatus setObject(MObject& object) override;
    MStatus setObject(const MObject& object) override;
    MStatus setObject(const MDagPath& path);

    MObject create(const MPointArray& controlVertices, const MDoubleArray& knotSequences, unsigned int degree,
                   Form form, bool create2D, bool createRational, MObject& parentOrOwner = MObject::kNullObj,
                   MStatus* ReturnStatus = NULL);

    MStatus getCVs(MPointArray& array, MSpace::Space space = MSpace::kObject) const;
    MStatus setCVs(const MPointArray& array, MSpace::Space space = MSpace::kObject);
    MStatus getCV(unsigned int index, MPoint& pt, MSpace::Space space = MSpace::kObject) const;
    MStatus getKnots(MDoubleArray& array) const;
    int numKnots(MStatus* ReturnStatus = NULL) const;
    double knot(unsigned int index, MStatus* ReturnStatus = NULL) const;
    int degree(MStatus* ReturnStatus = NULL) const;
    int numCVs(MStatus* ReturnStatus = NULL) const;
    int numSpans(MStatus* ReturnStatus = NULL) const;
    Form form(MStatus* ReturnStatus = NULL) const;
    MStatus getKnotDomain(double& start, double& end) const;
    MStatus getPointAtParam(double param, MPoint& point, MSpace::Space space = MSpace::kObject) const;
    MVector tangent(double param, MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    double length(double tolerance = kMFnNurbsEpsilon, MStatus* ReturnStatus = NULL) const;
    MPoint closestPoint(const MPoint& toThisPoint, double* paramU = NULL, double tolerance = kMFnNurbsEpsilon,
                        MSpace::Space space = MSpace::kObject, MStatus* ReturnStatus = NULL) const;
    MStatus updateCurve();
};

#endif
