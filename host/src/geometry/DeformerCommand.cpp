#include "geometry/DeformerCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dag/DagAttributes.h"
#include "dg/Data.h"
#include "dg/GeometryFilter.h"
#include "dg/Node.h"
#include "dg/Registry.h"
#include "dg/Scene.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPxGeometryFilter.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-typ", "-type", CommandFlags::kOneArg},
    {"-n", "-name", CommandFlags::kOneArg},
};

// Where a deformable shape type keeps its geometry.
struct ShapeAttributes
{
    MFn::Type fn;
    const char* type;
    const MObject* input;    // history comes in here
    const MObject* own;      // the shape's own geometry, used while input is unconnected
    const MObject* current;  // the geometry as the shape shows it
    const MObject* world;    // world-space output (an array, one element per instance)
};

const ShapeAttributes* attributesOf(const MDagPath& shape)
{
    static const ShapeAttributes kShapes[] = {
        {MFn::kMesh, "mesh", &MeshShapeNode::inMesh, &MeshShapeNode::cachedInMesh, &MeshShapeNode::outMesh,
         &MeshShapeNode::worldMesh},
        {MFn::kNurbsCurve, "nurbsCurve", &CurveShapeNode::create, &CurveShapeNode::cached, &CurveShapeNode::local,
         &CurveShapeNode::worldSpace},
    };
    for (const ShapeAttributes& s : kShapes)
        if (shape.hasFn(s.fn))
            return &s;
    return nullptr;
}

bool isDeformable(const MDagPath& path)
{
    return attributesOf(path) && !MFnDagNode(path).isIntermediateObject();
}

bool isDeformerType(const NodeTypeInfo* info)
{
    return info && (info->type == MPxNode::kDeformerNode || info->type == MPxNode::kGeometryFilter);
}

// Zeroes the vertex tweaks of a mesh: they are part of the geometry kept
// upstream now, and would otherwise be added a second time.
MStatus queueClearTweaks(MDGModifier& modifier, const MObject& mesh)
{
    MStatus status;
    MPlug tweaks(mesh, MeshShapeNode::pnts);
    const unsigned count = tweaks.numElements(&status);
    GEO_CHECK(status);
    for (unsigned i = 0; i < count; ++i) {
        MPlug element = tweaks.elementByPhysicalIndex(i, &status);
        GEO_CHECK(status);
        for (unsigned k = 0; k < 3; ++k) {
            MPlug component = element.child(k, &status);
            GEO_CHECK(status);
            if (component.asFloat() != 0.0f)
                GEO_CHECK(modifier.newPlugValueFloat(component, 0.0f));
        }
    }
    return MS::kSuccess;
}

} // namespace

MStatus DeformerCommand::deformableShape(const MDagPath& object, MDagPath& shape)
{
    shape = object;
    if (isDeformable(shape))
        return MS::kSuccess;
    unsigned count = 0;
    GEO_CHECK(object.numberOfShapesDirectlyBelow(count));
    for (unsigned i = 0; i < count; ++i) {
        shape = object;
        GEO_CHECK(shape.extendToShapeDirectlyBelow(i));
        if (isDeformable(shape))
            return MS::kSuccess;
    }
    return MS::kInvalidParameter;
}

MStatus DeformerCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    GEO_CHECK(flags.parse("deformer", args, kFlags));
    const MString type = flags.arg("-type");
    if (!flags.isSet("-type")) {
        MGlobal::displayError("deformer: the -type flag is required.");
        return MS::kInvalidParameter;
    }
    if (!isDeformerType(findNodeType(type))) {
        MGlobal::displayError("deformer: \"" + type + "\" is not a deformer type.");
        return MS::kInvalidParameter;
    }
    const MString name = flags.isSet("-name") ? flags.arg("-name") : type + "#";
    MString bare = name;
    if (bare.length() > 0 && bare.asChar()[bare.length() - 1] == '#')
        bare = bare.substring(0, int(bare.length()) - 2);
    if (!isValidNodeName(bare)) {
        MGlobal::displayError("deformer: \"" + name + "\" is not a valid node name.");
        return MS::kInvalidParameter;
    }

    MSelectionList objects;
    for (const MString& word : flags.objects())
        GEO_CHECK(SceneNames::addMatches("deformer", word, objects));
    if (flags.objects().empty())
        GEO_CHECK(MGlobal::getActiveSelectionList(objects));
    std::vector<MDagPath> shapes;
    for (unsigned i = 0; i < objects.length(); ++i) {
        MDagPath object, shape;
        if (!objects.getDagPath(i, object) || !deformableShape(object, shape)) {
            MObject node;
            objects.getDependNode(i, node);
            MGlobal::displayError("deformer: " + SceneNames::nodeName(node) + " has no mesh or curve to deform.");
            return MS::kInvalidParameter;
        }
        bool repeated = false;
        for (const MDagPath& known : shapes)
            repeated = repeated || known.node() == shape.node();
        if (!repeated)
            shapes.push_back(shape);
    }
    if (shapes.empty()) {
        MGlobal::displayError("deformer: name or select the objects to deform.");
        return MS::kInvalidParameter;
    }

    MStatus status;
    MDGModifier& dg = mModifier;  // the deformer itself is not a DAG node
    const MObject deformer = dg.createNode(type, &status);
    GEO_CHECK(status);
    GEO_CHECK(mModifier.renameNode(deformer, name));
    GEO_CHECK(execute("deformer"));
    for (unsigned i = 0; i < shapes.size(); ++i) {
        status = insertDeformer(deformer, shapes[i], i);
        if (!status) {
            mModifier.undoIt();
            return status;
        }
    }
    // The type's own helper nodes (e.g. a transform driving the deformer).
    MPxNode* user = MFnDependencyNode(deformer).userNode();
    if (auto* filter = dynamic_cast<MPxGeometryFilter*>(user)) {
        status = filter->accessoryNodeSetup(mModifier);
        if (status)
            status = execute("deformer");
        if (!status) {
            mModifier.undoIt();
            return status;
        }
    }
    MStringArray result;
    result.append(MFnDependencyNode(deformer).name());
    setResult(result);
    return MS::kSuccess;
}

MStatus DeformerCommand::insertDeformer(const MObject& deformer, const MDagPath& shape, unsigned index)
{
    GEO_CHECK(queueInsertion(mModifier, deformer, shape, index));
    return execute("deformer");
}

MStatus DeformerCommand::queueInsertion(MDagModifier& modifier, const MObject& deformer, const MDagPath& shape,
                                        unsigned index, MObject* orig)
{
    MStatus status;
    const ShapeAttributes* attrs = attributesOf(shape);
    if (!attrs)
        return MS::kInvalidParameter;
    const MObject shapeNode = shape.node();
    const MPlug input(shapeNode, *attrs->input);
    const MPlug geometryIn = MPlug(deformer, MPxGeometryFilter::input)
                                 .elementByLogicalIndex(index, &status)
                                 .child(MPxGeometryFilter::inputGeom, &status);
    GEO_CHECK(status);
    const MPlug geometryOut = MPlug(deformer, MPxGeometryFilter::outputGeom).elementByLogicalIndex(index, &status);
    GEO_CHECK(status);

    const MPlug history = input.source(&status);
    GEO_CHECK(status);
    if (!history.isNull()) {
        // Stacked: the new deformer takes over what fed the shape.
        GEO_CHECK(modifier.disconnect(history, input));
        GEO_CHECK(modifier.connect(history, geometryIn));
    } else {
        // The geometry as it is now, kept upstream in an intermediate shape.
        MFnDagNode fnShape(shape);
        MObject created = modifier.createNode(attrs->type, fnShape.parent(0, &status), &status);
        GEO_CHECK(status);
        GEO_CHECK(modifier.renameNode(created, fnShape.name() + "Orig"));
        const MObject geometry = MPlug(shapeNode, *attrs->current).asMObject(&status);
        GEO_CHECK(status);
        MObject original = cloneData(geometry);
        GEO_CHECK(modifier.newPlugValue(MPlug(created, *attrs->own), original));
        GEO_CHECK(modifier.newPlugValueBool(MPlug(created, DagAttributes::intermediateObject), true));
        if (attrs->fn == MFn::kMesh)
            GEO_CHECK(queueClearTweaks(modifier, shapeNode));
        GEO_CHECK(modifier.connect(MPlug(created, *attrs->world).elementByLogicalIndex(0), geometryIn));
        // The undeformed geometry, as Maya gives every deformer it puts on a shape.
        GEO_CHECK(modifier.connect(MPlug(created, *attrs->current),
                                   MPlug(deformer, originalGeometryAttribute()).elementByLogicalIndex(index)));
        if (orig)
            *orig = created;
    }
    return modifier.connect(geometryOut, input);
}

} // namespace host
