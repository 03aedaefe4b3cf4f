#ifndef MAYA_MDAGMODIFIER_H
#define MAYA_MDAGMODIFIER_H

#include <maya/MDGModifier.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

// MDGModifier with DAG creation and reparenting.
class MDagModifier : public MDGModifier
{
public:
    MDagModifier();
    ~MDagModifier() override;

    MObject createNode(const MTypeId& typeId, const MObject& parent = MObject::kNullObj,
                       MStatus* ReturnStatus = NULL);
    MObject createNode(const MString& type, const MObject& parent = MObject::kNullObj,
                       MStatus* ReturnStatus = NULL);
    MStatus reparentNode(const MObject& node, const MObject& newParent = MObject::kNullObj);

private:
    MDagModifier(const MDagModifier&) = delete;
    MDagModifier& operator=(const MDagModifier&) = delete;
};

#endif
