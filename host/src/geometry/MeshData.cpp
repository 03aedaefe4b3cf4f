#include "geometry/MeshData.h"

namespace host {

MeshData::MeshData() : MeshData(std::make_shared<MeshGeometry>()) {}

MeshData::MeshData(MeshGeometryPtr g) : GeometryData(MFn::kMeshData, MFnData::kMesh), geometry(std::move(g))
{
    if (!geometry)
        geometry = std::make_shared<MeshGeometry>();
}

Data* MeshData::clone() const
{
    auto* d = new MeshData(geometry);
    d->matrix = matrix;
    return d;
}

bool MeshData::equals(const Data& other) const
{
    if (other.dataType != MFnData::kMesh)
        return false;
    const auto* o = dynamic_cast<const MeshData*>(&other);
    if (!o || !(o->matrix == matrix))
        return false;
    if (o->geometry == geometry)
        return true;
    const MeshGeometry& a = *geometry;
    const MeshGeometry& b = *o->geometry;
    return a.points == b.points && a.counts == b.counts && a.connects == b.connects && a.edgeSmooth == b.edgeSmooth;
}

MeshGeometry& MeshData::edit()
{
    if (geometry.use_count() > 1)
        geometry = std::make_shared<MeshGeometry>(*geometry);
    return *geometry;
}

MObject MeshData::make(MeshGeometryPtr g)
{
    return ObjectAccess::make(new MeshData(std::move(g)));
}

} // namespace host
