#ifndef MAYA_MFNSINGLEINDEXEDCOMPONENT_H
#define MAYA_MFNSINGLEINDEXEDCOMPONENT_H

#include <maya/MFnComponent.h>

class MIntArray;

// Components indexed by one number: mesh vertices ("vtx"), edges ("e") and faces ("f").
class MFnSingleIndexedComponent : public MFnComponent
{
public:
    MFnSingleIndexedComponent();
    MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus = NULL);
    MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnSingleIndexedComponent() override;
    MFn::Type type() const override;

    MObject create(MFn::Type compType, MStatus* ReturnStatus = NULL);
    MStatus addElement(int element);
    MStatus addElements(MIntArray& elements);
    int elementMax(MStatus* ReturnStatus = NULL) const;
    int element(int index, MStatus* ReturnStatus = NULL) const;
    MStatus getElements(MIntArray& elements) const;
    MStatus setCompleteData(int numElements);
    MStatus getCompleteData(int& numElements) const;
};

#endif
