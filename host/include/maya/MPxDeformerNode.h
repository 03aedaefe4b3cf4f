#ifndef MAYA_MPXDEFORMERNODE_H
#define MAYA_MPXDEFORMERNODE_H

#include <maya/MPxGeometryFilter.h>

// Base class of user-defined deformers with per-vertex weights.
class MPxDeformerNode : public MPxGeometryFilter
{
public:
    MPxDeformerNode();
    ~MPxDeformerNode() override;

    MPxNode::Type type() const override;
    float weightValue(MDataBlock& block, unsigned int multiIndex, unsigned int wtIndex);

    static MObject weightList;
    static MObject weights;
};

#endif
