#ifndef MAYA_MFNCOMPONENT_H
#define MAYA_MFNCOMPONENT_H

#include <maya/MFnBase.h>

// Base of the function sets for components: index sets on a shape (mesh
// vertices, edges, faces), with their kind and whether they are complete.
class MFnComponent : public MFnBase
{
public:
    MFnComponent();
    MFnComponent(MObject& object, MStatus* ReturnStatus = NULL);
    MFnComponent(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnComponent() override;
    MFn::Type type() const override;

    int elementCount(MStatus* ReturnStatus = NULL) const;
    MFn::Type componentType(MStatus* ReturnStatus = NULL) const;
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    bool isEqual(MObject& other, MStatus* ReturnStatus = NULL) const;
    bool isComplete(MStatus* ReturnStatus = NULL) const;
    MStatus setComplete(bool complete);
    bool hasWeights() const;
};

#endif
