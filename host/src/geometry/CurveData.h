#pragma once
// NURBS curve data objects: control vertices, knots (Maya's convention:
// numCVs + degree - 1 of them), degree and form, plus the geometry matrix.

#include "dg/Data.h"

#include <vector>

namespace host {

struct CurveGeometry
{
    std::vector<double> cvs;    // xyz per CV
    std::vector<double> knots;
    int degree = 1;             // 1 to 31
    int form = 1;               // MFnNurbsCurve::Form: 1 open, 2 closed, 3 periodic

    int numCVs() const { return int(cvs.size() / 3); }
    int numSpans() const { return numCVs() - degree; }
    bool valid() const;
    // Parameter range.
    void domain(double& start, double& end) const;
    // Point and first derivative at a parameter (clamped to the domain).
    void evaluate(double param, double point[3], double derivative[3]) const;
};

class CurveData : public GeometryData
{
public:
    CurveData() : GeometryData(MFn::kNurbsCurveData, MFnData::kNurbsCurve) {}
    Data* clone() const override;
    bool equals(const Data& other) const override;

    CurveGeometry geometry;

    static MObject make(const CurveGeometry* geometry = nullptr);
};

// Curve data of an object, or null (checked by class, as for meshes).
inline CurveData* curveDataOf(const MObject& object) { return dynamic_cast<CurveData*>(dataOf(object)); }

} // namespace host
