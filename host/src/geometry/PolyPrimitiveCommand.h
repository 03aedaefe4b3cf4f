#pragma once
// polyPlane, polyCube, polySphere, polyCylinder, polyCone and polyTorus: a
// transform and a mesh shape named as Maya names them ("pCube1",
// "pCubeShape1"; -n gives "<name>" and "<name>Shape"). With -ch on the mesh is
// built by a history node ("polyCube1") holding the flags' settings; the
// result is then the transform and that node, as in Maya. Without it the shape
// holds the geometry itself and the result is the transform and the shape.
// Flags: -w -h -d, -r, -sr, -tw, the subdivisions (-sx -sy -sz and the long
// forms Maya gives each primitive: -sw -sh -sd, -sa -sh -sc), -ax X Y Z, -cuv,
// -rcp, -n, -ch.

#include "commands/builtins/ModifierCommand.h"
#include "geometry/PolyPrimitiveNode.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>

namespace host {

class PolyPrimitiveCommand : public ModifierCommand
{
public:
    typedef PolyPrimitiveNode::Kind Kind;

    static void* planeCreator() { return new PolyPrimitiveCommand(PolyPrimitiveNode::kPlane); }
    static void* cubeCreator() { return new PolyPrimitiveCommand(PolyPrimitiveNode::kCube); }
    static void* sphereCreator() { return new PolyPrimitiveCommand(PolyPrimitiveNode::kSphere); }
    static void* cylinderCreator() { return new PolyPrimitiveCommand(PolyPrimitiveNode::kCylinder); }
    static void* coneCreator() { return new PolyPrimitiveCommand(PolyPrimitiveNode::kCone); }
    static void* torusCreator() { return new PolyPrimitiveCommand(PolyPrimitiveNode::kTorus); }

    explicit PolyPrimitiveCommand(Kind kind) : mKind(kind) {}
    MStatus doIt(const MArgList& args) override;

private:
    const Kind mKind;
};

} // namespace host
