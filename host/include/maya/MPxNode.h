#ifndef MAYA_MPXNODE_H
#define MAYA_MPXNODE_H

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

class MPlug;
class MPlugArray;
class MDataBlock;
class MDataHandle;
class MDGContext;
class MEvaluationNode;
class MNodeCacheDisablingInfo;
class MNodeCacheSetupInfo;
class MObjectArray;
class MCacheSchema;

namespace host { class Node; struct NodeAccess; }

// Base class of user-defined dependency nodes.
class MPxNode
{
public:
    enum Type {
        kDependNode,
        kLocatorNode,
        kDeformerNode,
        kManipContainer,
        kSurfaceShape,
        kFieldNode,
        kEmitterNode,
        kSpringNode,
        kIkSolverNode,
        kHardwareShader,
        kHwShaderNode,
        kTransformNode,
        kObjectSet,
        kFluidEmitterNode,
        kImagePlaneNode,
        kParticleAttributeMapperNode,
        kCameraSetNode,
        kConstraintNode,
        kManipulatorNode,
        kMotionPathNode,
        kClientDeviceNode,
        kThreadedDeviceNode,
        kAssembly,
        kSkinCluster,
        kGeometryFilter,
        kBlendShape,
        kLast
    };
    enum SchedulingType {
        kParallel,
        kSerial,
        kGloballySerial,
        kUntrusted,
        kDefaultScheduling = kSerial,
        kSerialize = kSerial,
        kGloballySerialize = kGloballySerial
    };
    enum PostEvaluationEnum { kEvaluatedIndirectly = 0, kEvaluatedDirectly = 1, kLeaveDirty = 2 };
    typedef unsigned int PostEvaluationType;

    MPxNode();
    virtual ~MPxNode();

    virtual void postConstructor();
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    virtual MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray);
    virtual MStatus preEvaluation(const MDGContext& context, const MEvaluationNode& evaluationNode);
    virtual MStatus postEvaluation(const MDGContext& context, const MEvaluationNode& evaluationNode,
                                   PostEvaluationType evalType);
    virtual SchedulingType schedulingType() const;
    virtual void getCacheSetup(const MEvaluationNode& evalNode, MNodeCacheDisablingInfo& disablingInfo,
                               MNodeCacheSetupInfo& cacheSetupInfo, MObjectArray& monitoredAttributes) const;
    virtual void configCache(const MEvaluationNode& evalNode, MCacheSchema& schema) const;
    virtual MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus dependsOn(const MPlug& plug, const MPlug& otherPlug, bool& depends) const;
    virtual bool getInternalValue(const MPlug& plug, MDataHandle& handle);
    virtual bool setInternalValue(const MPlug& plug, const MDataHandle& handle);
    virtual int internalArrayCount(const MPlug& plug) const;
    virtual void copyInternalData(MPxNode* node);
    virtual MStatus legalConnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc, bool& isLegal) const;
    virtual MStatus legalDisconnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                                       bool& isLegal) const;
    virtual bool isPassiveOutput(const MPlug& plug) const;
    virtual MStatus shouldSave(const MPlug& plug, bool& isSaving);
    virtual MPlug passThroughToOne(const MPlug& plug) const;
    virtual Type type() const;
    virtual bool isAbstractClass() const;

    MObject thisMObject() const;
    MTypeId typeId() const;
    MString typeName() const;
    MString name() const;

    MStatus setExistWithoutInConnections(bool flag);
    virtual bool existWithoutInConnections(MStatus* ReturnStatus = NULL) const;
    MStatus setExistWithoutOutConnections(bool flag);
    virtual bool existWithoutOutConnections(MStatus* ReturnStatus = NULL) const;
    MStatus setDoNotWrite(bool flag);
    virtual bool doNotWrite(MStatus* ReturnStatus = NULL) const;

    static MStatus addAttribute(const MObject& attr);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected, bool affectsTopology);
    static MStatus inheritAttributesFrom(const MString& parentClassName);

    static MObject message;
    static MObject isHistoricallyInteresting;
    static MObject caching;
    static MObject state;
    static MObject frozen;

protected:
    virtual MDataBlock forceCache();
    MDataBlock _forceCache(const MDGContext& context);

private:
    friend struct host::NodeAccess;
    MPxNode(const MPxNode&) = delete;
    MPxNode& operator=(const MPxNode&) = delete;
    host::Node* mNode;
    bool mExistWithoutIn;
    bool mExistWithoutOut;
};

#endif
