#ifndef MAYA_MFNDEPENDENCYNODE_H
#define MAYA_MFNDEPENDENCYNODE_H

#include <maya/MTypes.h>

#include <maya/MFnBase.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>

class MPlugArray;
class MPxNode;

// Function set for dependency nodes.
class MFnDependencyNode : public MFnBase
{
public:
    enum MAttrClass { kLocalDynamicAttr = 1, kNormalAttr, kExtensionAttr, kInvalidAttr };

    MFnDependencyNode();
    MFnDependencyNode(MObject& object, MStatus* ReturnStatus = NULL);
    MFnDependencyNode(const MObject& object, MStatus* ReturnStatus = NULL);
    ~MFnDependencyNode() override;
    MFn::Type type() const override;

    MObject create(const MTypeId& typeId, MStatus* ReturnStatus = NULL);
    MObject create(const MTypeId& typeId, const MString& name, MStatus* ReturnStatus = NULL);
    MObject create(const MString& type, MStatus* ReturnStatus = NULL);
    MObject create(const MString& type, const MString& name, MStatus* ReturnStatus = NULL);

    MString name(MStatus* ReturnStatus = NULL) const;
    MString absoluteName(MStatus* ReturnStatus = NULL) const;
    MString setName(const MString& name, bool createNamespace = false, MStatus* ReturnStatus = NULL);
    MTypeId typeId(MStatus* ReturnStatus = NULL) const;
    MString typeName(MStatus* ReturnStatus = NULL) const;

    MPlug findPlug(const MObject& attr, bool wantNetworkedPlug, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MString& attrName, bool wantNetworkedPlug, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MObject& attr, MStatus* ReturnStatus = NULL) const;
    MPlug findPlug(const MString& attrName, MStatus* ReturnStatus = NULL) const;

    unsigned int attributeCount(MStatus* ReturnStatus = NULL) const;
    MObject attribute(unsigned int index, MStatus* ReturnStatus = NULL) const;
    MObject attribute(const MString& attrName, MStatus* ReturnStatus = NULL) const;
    MAttrClass attributeClass(const MObject& attr, MStatus* ReturnStatus = NULL) const;
    bool hasAttribute(const MString& name, MStatus* ReturnStatus = NULL) const;
    MStatus addAttribute(const MObject& attr);
    MStatus removeAttribute(const MObject& attr);
    MStatus getConnections(MPlugArray& array) const;

    MPxNode* userNode(MStatus* ReturnStatus = NULL) const;
    bool isFromReferencedFile(MStatus* ReturnStatus = NULL) const;
    bool isLocked(MStatus* ReturnStatus = NULL) const;
    MStatus setLocked(bool locked);
    bool isDefaultNode(MStatus* ReturnStatus = NULL) const;
    bool canBeWritten(MStatus* ReturnStatus = NULL) const;
    MStatus setDoNotWrite(bool flag);
    MStatus setIcon(const MString& filename);
    MString icon(MStatus* ReturnStatus = NULL) const;
    MString pluginName(MStatus* ReturnStatus = NULL) const;
    static MString classification(const MString& nodeTypeName);
};

#endif
