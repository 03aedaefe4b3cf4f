#ifndef MAYA_MPXGEOMETRYFILTER_H
#define MAYA_MPXGEOMETRYFILTER_H

#include <maya/MTypes.h>

#include <maya/MPxNode.h>

class MItGeometry;
class MDagModifier;

// Base class of user-defined deformers without weights.
class MPxGeometryFilter : public MPxNode
{
public:
    MPxGeometryFilter();
    ~MPxGeometryFilter() override;

    virtual MStatus deform(MDataBlock& block, MItGeometry& iter, const MMatrix& mat, unsigned int multiIndex);
    virtual MObject& accessoryAttribute() const;
    virtual MStatus accessoryNodeSetup(MDagModifier& cmd);
    MPxNode::Type type() const override;

    static MObject input;
    static MObject inputGeom;
    static MObject groupId;
    static MObject outputGeom;
    static MObject envelope;
};

#endif
