#pragma once
// The built-in "polyTweak" of modelling history: the mesh on "inputPolymesh" with vertex p
// moved by tweak[p], on "output". Maya puts one in a mesh's history when vertices of a mesh
// with history are moved.

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class PolyTweakNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;
    static void* creator();
    static MStatus initialize();
    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject inputPolymesh, output, tweak, inputComponents, useOldPolyArchitecture;
};

} // namespace host
