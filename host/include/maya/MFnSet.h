#ifndef MAYA_MFNSET_H
#define MAYA_MFNSET_H

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

// Function set for object sets ("objectSet" nodes).
class MFnSet : public MFnDependencyNode
{
public:
    enum Restriction { kNone, kVerticesOnly, kEdgesOnly, kFacetsOnly, kEditPointsOnly, kRenderableOnly };

    MFnSet();
    MFnSet(MObject& object, MStatus* ReturnStatus = NULL);
    MFnSet(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnSet() override;

    MFn::Type type() const override;

    MObject create(const MSelectionList& members, Restriction restriction = kNone, MStatus* ReturnStatus = NULL);
    MStatus getMembers(MSelectionList& members, bool flatten) const;
    bool isMember(const MDagPath& object, const MObject& component = MObject::kNullObj,
                  MStatus* ReturnStatus = NULL) const;
    bool isMember(const MObject& object, MStatus* ReturnStatus = NULL) const;
    bool isMember(const MPlug& plug, MStatus* ReturnStatus = NULL) const;
    MStatus addMember(const MDagPath& object, const MObject& component = MObject::kNullObj);
    MStatus addMember(const MObject& obj);
    MStatus addMember(const MPlug& plug);
    MStatus addMembers(const MSelectionList& list);
    MStatus removeMember(const MDagPath& object, const MObject& component);
    MStatus removeMember(const MObject& obj);
    MStatus removeMember(const MPlug& plug);
    MStatus removeMembers(const MSelectionList& list);
    MStatus clear();
    Restriction restriction(MStatus* ReturnStatus = NULL) const;
};

#endif
