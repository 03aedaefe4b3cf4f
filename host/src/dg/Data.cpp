#include "dg/Data.h"

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
    return d;
}

bool MatrixData::equals(const Data& other) const
{
    return other.dataType == MFnData::kMatrix && static_cast<const MatrixData&>(other).matrix == matrix;
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
