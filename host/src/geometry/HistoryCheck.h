#pragma once
// After a scene file is read: meshes whose history runs through a node the host
// does not evaluate keep the geometry the file caches for them; those the file
// gives none are reported, once per node type.

namespace host {

void reportMeshesWithoutGeometry();

} // namespace host
