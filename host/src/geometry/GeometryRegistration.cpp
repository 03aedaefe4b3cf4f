#include "geometry/GeometryRegistration.h"

#include "dg/Registry.h"
#include "dg/SelectionItem.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MakeNurbCircleNode.h"
#include "geometry/MeshComponents.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"
#include "geometry/PolyTweakNode.h"
#include "geometry/PolyPrimitiveNode.h"
#include "geometry/TransformGeometryNode.h"

namespace host {

namespace {

MObject emptyMesh()
{
    return MeshData::make();
}

MObject emptyCurve()
{
    return CurveData::make();
}

MStatus registerShape(const char* name, const MTypeId& id, NodeCreatorFunction creator,
                      NodeInitializeFunction initialize, MFn::Type apiType)
{
    NodeTypeInfo info;
    info.name = name;
    info.id = id;
    info.creator = creator;
    info.initialize = initialize;
    info.type = MPxNode::kSurfaceShape;
    info.apiType = apiType;
    return registerNodeType(info);
}

} // namespace

MStatus registerGeometryNodeTypes()
{
    setEmptyDataFactory(MFnData::kMesh, &emptyMesh);
    setComponentNameResolver(&resolveComponentName);
    setEmptyDataFactory(MFnData::kNurbsCurve, &emptyCurve);
    GEO_CHECK(registerShape(MeshShapeNode::typeName, MeshShapeNode::id, &MeshShapeNode::creator,
                            &MeshShapeNode::initialize, MFn::kMesh));
    GEO_CHECK(registerShape(CurveShapeNode::typeName, CurveShapeNode::id, &CurveShapeNode::creator,
                            &CurveShapeNode::initialize, MFn::kNurbsCurve));
    NodeTypeInfo circle;
    circle.name = MakeNurbCircleNode::typeName;
    circle.id = MakeNurbCircleNode::id;
    circle.creator = &MakeNurbCircleNode::creator;
    circle.initialize = &MakeNurbCircleNode::initialize;
    circle.apiType = MFn::kDependencyNode;
    GEO_CHECK(registerNodeType(circle));
    NodeTypeInfo polyTweak;
    polyTweak.name = PolyTweakNode::typeName;
    polyTweak.id = PolyTweakNode::id;
    polyTweak.creator = &PolyTweakNode::creator;
    polyTweak.initialize = &PolyTweakNode::initialize;
    polyTweak.apiType = MFn::kDependencyNode;
    GEO_CHECK(registerNodeType(polyTweak));
    GEO_CHECK(PolyPrimitiveNode::registerTypes());
    NodeTypeInfo freeze;
    freeze.name = TransformGeometryNode::typeName;
    freeze.id = TransformGeometryNode::id;
    freeze.creator = &TransformGeometryNode::creator;
    freeze.initialize = &TransformGeometryNode::initialize;
    freeze.apiType = MFn::kDependencyNode;
    GEO_CHECK(registerNodeType(freeze));
    return MS::kSuccess;
}

} // namespace host
