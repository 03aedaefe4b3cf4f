#pragma once
// The built-in "nurbsCurve" shape: "local" is the connected "create" curve or
// the shape's own ("cached"), with the CV tweaks of "controlPoints" added
// (moved CVs of a curve with history); each "worldSpace" element is it with
// that instance's world matrix. "degree", "spans" and "form" describe the
// local curve.

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class CurveShapeNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    MPxNode::Type type() const override;

    static MObject create;
    static MObject local;
    static MObject cached;
    static MObject worldSpace;
    static MObject controlPoints, xValue, yValue, zValue;
    // Read-only facts of the local curve, as Maya's shape reports them.
    static MObject degree;
    static MObject spans;
    static MObject form;  // 0 open, 1 closed, 2 periodic
};

} // namespace host
