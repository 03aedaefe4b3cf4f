#pragma once
// polyPlane, polyCube and polySphere: a transform and a mesh shape named as
// Maya names them ("pCube1", "pCubeShape1"; -n gives "<name>" and
// "<name>Shape"), holding the primitive's geometry. Returns both names.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MObject.h>

namespace host {

class PolyPrimitiveCommand : public ModifierCommand
{
public:
    enum Kind { kPlane, kCube, kSphere };

    static void* planeCreator() { return new PolyPrimitiveCommand(kPlane); }
    static void* cubeCreator() { return new PolyPrimitiveCommand(kCube); }
    static void* sphereCreator() { return new PolyPrimitiveCommand(kSphere); }

    explicit PolyPrimitiveCommand(Kind kind) : mKind(kind) {}
    MStatus doIt(const MArgList& args) override;

private:
    const Kind mKind;
};

} // namespace host
