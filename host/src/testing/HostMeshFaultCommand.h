#pragma once
// hostMeshFault -invalidNormalIds true|false MESH_SHAPE
// hostMeshFault -refuseRawPoints true|false
// A host test facility Maya does not have, for the paths callers take when a mesh read fails.
// -invalidNormalIds: MFnMesh::getFaceNormalIds on that mesh shape (by its node or a path to
// it) answers with ids past the mesh's last normal, as a damaged mesh would; mesh data read
// from the shape's plugs is not affected. -refuseRawPoints: MFnMesh::getRawPoints fails on
// every mesh, as it may in Maya, so callers take their fallback. Not undoable and not saved
// with the scene; a deleted shape drops out by itself.

#include <maya/MApiNamespace.h>
#include <maya/MArgList.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>

namespace host {

class HostMeshFaultCommand : public MPxCommand
{
public:
    static void* creator() { return new HostMeshFaultCommand; }
    MStatus doIt(const MArgList& args) override;
};

// Whether `node` is a mesh shape given invalid normal ids by hostMeshFault.
bool meshHasInvalidNormalIds(const MObject& node);

// Whether hostMeshFault -refuseRawPoints is on.
bool rawPointsRefused();

// Registers hostMeshFault with the built-in commands.
void registerTestingCommands();

} // namespace host
