#pragma once
// The built-in "makeNurbCircle" node: a periodic circle curve from its
// normal, center, radius, sections and degree, on "outputCurve".

#include <maya/MDataBlock.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MTypeId.h>

namespace host {

class MakeNurbCircleNode : public MPxNode
{
public:
    static const MTypeId id;
    static const char* const typeName;

    static void* creator();
    static MStatus initialize();

    MStatus compute(const MPlug& plug, MDataBlock& block) override;

    static MObject normal;
    static MObject center;
    static MObject radius;
    static MObject sections;
    static MObject degree;
    static MObject outputCurve;
};

} // namespace host
