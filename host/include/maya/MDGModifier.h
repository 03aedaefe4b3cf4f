#ifndef MAYA_MDGMODIFIER_H
#define MAYA_MDGMODIFIER_H

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

#include <memory>
#include <vector>

class MPlug;
class MAngle;
class MDistance;
class MTime;

namespace host { struct ModifierOp; struct ModifierAccess; }

// Queue of undoable graph edits: doIt runs what was queued since the last
// doIt; undoIt reverts everything run so far, in reverse order.
class MDGModifier
{
public:
    MDGModifier();
    virtual ~MDGModifier();

    MObject createNode(const MTypeId& typeId, MStatus* ReturnStatus = NULL);
    MObject createNode(const MString& type, MStatus* ReturnStatus = NULL);
    MStatus deleteNode(const MObject& node, bool deleteParents = true);
    MStatus renameNode(const MObject& node, const MString& newName);
    MStatus setNodeLockState(const MObject& node, bool newState);
    MStatus connect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                    const MObject& destAttr);
    MStatus connect(const MPlug& source, const MPlug& dest);
    MStatus disconnect(const MObject& sourceNode, const MObject& sourceAttr, const MObject& destNode,
                       const MObject& destAttr);
    MStatus disconnect(const MPlug& source, const MPlug& dest);
    MStatus addAttribute(const MObject& node, const MObject& attribute);
    MStatus removeAttribute(const MObject& node, const MObject& attribute);
    MStatus newPlugValue(const MPlug& plug, MObject& plugValue);
    MStatus newPlugValueBool(const MPlug& plug, bool plugValue);
    MStatus newPlugValueChar(const MPlug& plug, char plugValue);
    MStatus newPlugValueShort(const MPlug& plug, short plugValue);
    MStatus newPlugValueInt(const MPlug& plug, int plugValue);
    MStatus newPlugValueInt64(const MPlug& plug, MInt64 plugValue);
    MStatus newPlugValueFloat(const MPlug& plug, float plugValue);
    MStatus newPlugValueDouble(const MPlug& plug, double plugValue);
    MStatus newPlugValueString(const MPlug& plug, const MString& plugValue);
    MStatus newPlugValueMAngle(const MPlug& plug, const MAngle& plugValue);
    MStatus newPlugValueMDistance(const MPlug& plug, const MDistance& plugValue);
    MStatus newPlugValueMTime(const MPlug& plug, const MTime& plugValue);
    MStatus commandToExecute(const MString& command);
    MStatus pythonCommandToExecute(const MString& command);

    MStatus doIt();
    MStatus undoIt();

private:
    friend struct host::ModifierAccess;
    MDGModifier(const MDGModifier&) = delete;
    MDGModifier& operator=(const MDGModifier&) = delete;
    std::vector<std::unique_ptr<host::ModifierOp>> mOps;
    size_t mDone;  // ops [0, mDone) have been executed
};

#endif
