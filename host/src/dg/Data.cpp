#include "dg/Data.h"

#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace host {

MObject cloneData(const MObject& object)
{
    Data* d = dataOf(object);
    return d ? ObjectAccess::make(d->clone()) : MObject();
}

bool dataEquals(const MObject& a, const MObject& b)
{
    Data* da = dataOf(a);
    Data* db = dataOf(b);
    if (!da || !db)
        return da == db;
    return da->dataType == db->dataType && da->equals(*db);
}

Data* NumericData::clone() const
{
    auto* d = new NumericData(numericType);
    for (int i = 0; i < 4; ++i)
        d->values[i] = values[i];
    return d;
}

bool NumericData::equals(const Data& other) const
{
    if (other.dataType != MFnData::kNumeric)
        return false;
    const auto& o = static_cast<const NumericData&>(other);
    if (o.numericType != numericType)
        return false;
    for (int i = 0; i < 4; ++i)
        if (o.values[i] != values[i])
            return false;
    return true;
}

Data* MatrixData::clone() const
{
    auto* d = new MatrixData;
    d->matrix = matrix;
    if (transformation)
        d->transformation.reset(new MTransformationMatrix(*transformation));
    if (xform)
        d->xform.reset(new XformParts(*xform));
    return d;
}

bool MatrixData::equals(const Data& other) const
{
    return other.dataType == MFnData::kMatrix && static_cast<const MatrixData&>(other).matrix == matrix;
}

namespace {

MMatrix translation(const double* t)
{
    MMatrix m;
    m[3][0] = t[0];
    m[3][1] = t[1];
    m[3][2] = t[2];
    return m;
}

} // namespace

MMatrix XformParts::asMatrix() const
{
    const double* v = values;
    MTransformationMatrix scaling;
    scaling.setScale(v + kScale, MSpace::kTransform);
    scaling.setShear(v + kShear, MSpace::kTransform);
    const double* scalePivot = v + kScalePivot;
    const double* rotatePivot = v + kRotatePivot;
    const double negativeScalePivot[3] = {-scalePivot[0], -scalePivot[1], -scalePivot[2]};
    const double negativeRotatePivot[3] = {-rotatePivot[0], -rotatePivot[1], -rotatePivot[2]};
    int order = int(v[kRotateOrder]);
    if (order < 0 || order > 5)
        order = 0;
    const MEulerRotation rotation(v[kRotate], v[kRotate + 1], v[kRotate + 2],
                                  static_cast<MEulerRotation::RotationOrder>(order));
    const double* axis = v + kRotateAxis;
    const double* orient = v + kJointOrient;
    MMatrix m = translation(negativeScalePivot) * scaling.asMatrix() * translation(scalePivot) *
                translation(v + kScalePivotTranslate) * translation(negativeRotatePivot) *
                MQuaternion(axis[0], axis[1], axis[2], axis[3]).asMatrix() * rotation.asMatrix() *
                MQuaternion(orient[0], orient[1], orient[2], orient[3]).asMatrix() * translation(rotatePivot) *
                translation(v + kRotatePivotTranslate);
    if (compensate) {
        MMatrix inverseParentScale;
        for (int i = 0; i < 3; ++i)
            inverseParentScale[i][i] = v[kInverseScale + i];
        m = m * inverseParentScale;
    }
    return m * translation(v + kTranslate);
}

Data* ComponentListData::clone() const
{
    auto* d = new ComponentListData;
    d->components = components;
    return d;
}

bool ComponentListData::equals(const Data& other) const
{
    return other.dataType == MFnData::kComponentList &&
           sameArray(static_cast<const ComponentListData&>(other).components, components);
}

bool ComponentListData::pointIndices(int count, std::vector<int>& indices) const
{
    indices.clear();
    for (unsigned i = 0; i < components.length(); ++i) {
        const std::string text = components[i].asChar();
        const size_t open = text.find('[');
        const std::string kind = text.substr(0, open);
        if (open == std::string::npos || text.back() != ']' || (kind != "vtx" && kind != "cv" && kind != "pt"))
            return false;
        const std::string range = text.substr(open + 1, text.size() - open - 2);
        long first = 0, last = long(count) - 1;
        if (range != "*") {
            char* end = nullptr;
            first = std::strtol(range.c_str(), &end, 10);
            last = first;
            if (*end == ':')
                last = std::strtol(end + 1, &end, 10);
            if (*end != '\0' || first < 0 || last < first)
                return false;
        }
        // Points past the geometry's end name nothing.
        for (long k = first; k <= std::min(last, long(count) - 1); ++k)
            indices.push_back(int(k));
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    return true;
}

Data* GeometryData::clone() const
{
    auto* d = new GeometryData(apiType(), dataType);
    d->matrix = matrix;
    return d;
}

bool GeometryData::equals(const Data& other) const
{
    return &other == this;
}

namespace {
EmptyDataFactory gFactories[MFnData::kLast] = {};
}

void setEmptyDataFactory(MFnData::Type type, EmptyDataFactory factory)
{
    if (type > MFnData::kInvalid && type < MFnData::kLast)
        gFactories[type] = factory;
}

MObject createEmptyData(MFnData::Type type)
{
    if (type > MFnData::kInvalid && type < MFnData::kLast && gFactories[type])
        return gFactories[type]();
    Data* d = nullptr;
    switch (type) {
    case MFnData::kString: d = new StringData; break;
    case MFnData::kMatrix: d = new MatrixData; break;
    case MFnData::kIntArray: d = new IntArrayData; break;
    case MFnData::kDoubleArray: d = new DoubleArrayData; break;
    case MFnData::kStringArray: d = new StringArrayData; break;
    case MFnData::kMatrixArray: d = new MatrixArrayData; break;
    case MFnData::kMesh: d = new GeometryData(MFn::kMeshData, MFnData::kMesh); break;
    case MFnData::kNurbsCurve: d = new GeometryData(MFn::kNurbsCurveData, MFnData::kNurbsCurve); break;
    case MFnData::kNurbsSurface: d = new GeometryData(MFn::kNurbsSurfaceData, MFnData::kNurbsSurface); break;
    default: break;
    }
    return d ? ObjectAccess::make(d) : MObject();
}

} // namespace host
