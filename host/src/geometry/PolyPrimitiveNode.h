#pragma once
// The poly primitive history nodes "polyCube", "polySphere", "polyPlane",
// "polyCylinder", "polyCone" and "polyTorus": their size and subdivision
// attributes (Maya's names and defaults), "axis" and "createUVs" give the
// mesh on "output" ("out"), laid out as Maya lays each primitive out.

#include "geometry/MeshGeometry.h"

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>

namespace host {

class PolyPrimitiveNode : public MPxNode
{
public:
    enum Kind { kCube, kSphere, kPlane, kCylinder, kCone, kTorus, kKindCount };

    // Each kind's attributes; the ones a kind lacks stay null.
    struct Attributes
    {
        MObject output, axis, createUVs;
        MObject width, height, depth, radius, sectionRadius, twist;
        MObject subdivisionsWidth, subdivisionsHeight, subdivisionsDepth;
        MObject subdivisionsAxis, subdivisionsCap, roundCap;
    };

    // What a primitive is made from (sizes in centimetres, the twist in radians); the attributes
    // a kind lacks are ignored.
    struct Settings
    {
        double width = 1, height = 1, depth = 1, radius = 1, sectionRadius = 0.5, twist = 0;
        int subdivisionsWidth = 1, subdivisionsHeight = 1, subdivisionsDepth = 1, subdivisionsAxis = 20,
            subdivisionsCap = 0;
        int createUVs = 1;  // 0: none
        double axis[3] = {0, 1, 0};
    };
    // The node's defaults for a kind.
    static Settings defaults(Kind kind);
    // The primitive's geometry, or null when its subdivisions would make a mesh too large to hold.
    static MeshGeometryPtr build(Kind kind, const Settings& settings);

    explicit PolyPrimitiveNode(Kind kind) : mKind(kind) {}

    static MStatus registerTypes();
    static const char* typeNameOf(Kind kind);
    static const Attributes& attributesOf(Kind kind);

    MStatus compute(const MPlug& plug, MDataBlock& block) override;

private:
    Kind mKind;
};

} // namespace host
