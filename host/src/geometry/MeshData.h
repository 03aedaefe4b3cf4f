#pragma once
// Mesh data objects: geometry shared copy-on-write between the plugs and
// function sets holding it, plus the geometry matrix (a worldMesh element
// carries its instance's world matrix).

#include "dg/Data.h"
#include "geometry/MeshGeometry.h"

namespace host {

class MeshData : public GeometryData
{
public:
    MeshData();
    explicit MeshData(MeshGeometryPtr geometry);
    Data* clone() const override;
    bool equals(const Data& other) const override;

    const MeshGeometry& read() const { return *geometry; }
    // The geometry, copied first when another data object shares it.
    MeshGeometry& edit();
    MeshGeometryPtr shared() const { return geometry; }
    void replace(MeshGeometryPtr g) { geometry = std::move(g); }

    // A new mesh data object (empty geometry when null).
    static MObject make(MeshGeometryPtr geometry = nullptr);

private:
    MeshGeometryPtr geometry;
};

// Mesh data of an object, or null (checked by class: other code may hold
// plain geometry data of the mesh type).
inline MeshData* meshDataOf(const MObject& object) { return dynamic_cast<MeshData*>(dataOf(object)); }

} // namespace host
