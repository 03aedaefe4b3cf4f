#include "deformers/BlendShapeCommand.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "deformers/AttributeBuilders.h"
#include "deformers/BlendShapeNode.h"
#include "dg/Scene.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/DeformerCommand.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <cmath>
#include <vector>

namespace host {

namespace {

MStatus fail(const MString& message)
{
    MGlobal::displayError("blendShape: " + message);
    return MS::kInvalidParameter;
}

struct Request
{
    bool query = false, edit = false, inBetween = false, topologyCheck = true;
    bool targets = false, weights = false, weightCount = false, geometry = false;
    bool envelopeGiven = false;
    double envelope = 1.0;
    MString name, origin = "world";
    struct Target
    {
        MString base;
        unsigned index = 0;
        MString target;
        double fullWeight = 1.0;
    };
    std::vector<Target> added;                        // -t (edit)
    std::vector<std::pair<unsigned, double>> weightValues;  // -w
    std::vector<MString> objects;
};

bool readIndex(const MString& word, unsigned& index)
{
    long long value = 0;
    if (!ValueText::parseInt(word, value) || value < 0 || value > 0x7fffffff)
        return false;
    index = unsigned(value);
    return true;
}

MStatus parse(const MArgList& args, Request& r)
{
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        r.query = r.query || word == "-q" || word == "-query";
        r.edit = r.edit || word == "-e" || word == "-edit";
    }
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        const unsigned left = args.length() - i - 1;
        if (word == "-q" || word == "-query" || word == "-e" || word == "-edit") {
        } else if (word == "-n" || word == "-name" || word == "-o" || word == "-origin") {
            if (left < 1)
                return fail(word + " takes a value.");
            (word == "-n" || word == "-name" ? r.name : r.origin) = args.asString(++i);
        } else if (word == "-ib" || word == "-inBetween") {
            r.inBetween = true;
        } else if (word == "-tc" || word == "-topologyCheck") {
            if (left >= 1 && ValueText::parseBool(args.asString(i + 1), r.topologyCheck))
                ++i;
        } else if (word == "-en" || word == "-envelope") {
            if (left < 1 || !ValueText::parseDouble(args.asString(i + 1), r.envelope))
                return fail(word + " takes a number.");
            r.envelopeGiven = true;
            ++i;
        } else if (word == "-wc" || word == "-weightCount") {
            r.weightCount = true;
        } else if (word == "-g" || word == "-geometry") {
            r.geometry = true;
        } else if (word == "-t" || word == "-target") {
            r.targets = true;
            if (r.query)
                continue;
            Request::Target t;
            if (left < 4 || !readIndex(args.asString(i + 2), t.index) ||
                !ValueText::parseDouble(args.asString(i + 4), t.fullWeight))
                return fail(word + " takes a base, an index, a target and a full weight.");
            t.base = args.asString(i + 1);
            t.target = args.asString(i + 3);
            r.added.push_back(t);
            i += 4;
        } else if (word == "-w" || word == "-weight") {
            r.weights = true;
            if (r.query)
                continue;
            unsigned index = 0;
            double value = 0;
            if (left < 2 || !readIndex(args.asString(i + 1), index) ||
                !ValueText::parseDouble(args.asString(i + 2), value))
                return fail(word + " takes an index and a weight.");
            r.weightValues.emplace_back(index, value);
            i += 2;
        } else if (ValueText::isFlag(word)) {
            return fail("unknown flag " + word + ".");
        } else {
            r.objects.push_back(word);
        }
    }
    if (r.origin != "world" && r.origin != "local")
        return fail("-origin is \"world\" or \"local\", not \"" + r.origin + "\".");
    if (r.name.length() && !isValidNodeName(r.name))
        return fail("\"" + r.name + "\" is not a valid node name.");
    return MS::kSuccess;
}

int pointCount(const MDagPath& shape)
{
    return shape.hasFn(MFn::kMesh) ? MFnMesh(shape).numVertices() : MFnNurbsCurve(shape).numCVs();
}

MStatus shapeNamed(const MString& name, MDagPath& shape)
{
    MSelectionList list;
    DEFORMER_CHECK(SceneNames::addMatches("blendShape", name, list));
    MDagPath path;
    if (!list.getDagPath(0, path) || !DeformerCommand::deformableShape(path, shape))
        return fail(name + " has no mesh or curve.");
    return MS::kSuccess;
}

MPlug itemPlug(const MObject& node, unsigned geometry, unsigned target, unsigned item)
{
    return MPlug(node, BlendShapeNode::inputTarget)
        .elementByLogicalIndex(geometry)
        .child(BlendShapeNode::inputTargetGroup)
        .elementByLogicalIndex(target)
        .child(BlendShapeNode::inputTargetItem)
        .elementByLogicalIndex(item);
}

// Item index of a target weight: 5000 + 1000 * weight, 6000 for the full target.
MStatus itemIndexOf(double weight, unsigned& item)
{
    const double index = std::round(5000.0 + 1000.0 * weight);
    if (index < 0 || index > 0x7fffffff || index == 5000)
        return fail("a target's weight cannot be 0.");
    item = unsigned(index);
    return MS::kSuccess;
}

MStatus checkTopology(const Request& r, const MDagPath& base, const MString& baseName, const MDagPath& target,
                      const MString& targetName)
{
    if (r.topologyCheck && pointCount(target) != pointCount(base))
        return fail(targetName + " has " + pointCount(target) + " points, not " + pointCount(base) + " as " +
                    baseName + ".");
    return MS::kSuccess;
}

} // namespace

MStatus BlendShapeCommand::doIt(const MArgList& args)
{
    Request r;
    DEFORMER_CHECK(parse(args, r));
    mQuery = r.query;

    if (r.query || r.edit) {
        if (r.objects.size() != 1)
            return fail(MString(r.query ? "-query" : "-edit") + " takes one blendShape.");
        MObject node;
        DEFORMER_CHECK(SceneNames::findNode("blendShape", r.objects[0], node));
        if (!node.hasFn(MFn::kBlend))
            return fail(r.objects[0] + " is not a blendShape.");
        const MPlug weights(node, BlendShapeNode::weight);
        if (r.query) {
            if (r.weights) {
                MDoubleArray values;
                for (unsigned i = 0; i < weights.numElements(); ++i)
                    values.append(weights.elementByPhysicalIndex(i).asFloat());
                setResult(values);
            } else if (r.weightCount) {
                setResult(int(weights.numElements()));
            } else if (r.targets || r.geometry) {
                // Targets: the shapes connected to the full items; geometry: the deformed shapes.
                MStringArray names;
                const MPlug geometries(node, BlendShapeNode::inputTarget);
                for (unsigned g = 0; r.targets && g < geometries.numElements(); ++g) {
                    const MPlug groups = geometries.elementByPhysicalIndex(g).child(BlendShapeNode::inputTargetGroup);
                    for (unsigned t = 0; t < groups.numElements(); ++t) {
                        const MPlug full = groups.elementByPhysicalIndex(t)
                                               .child(BlendShapeNode::inputTargetItem)
                                               .elementByLogicalIndex(6000)
                                               .child(BlendShapeNode::inputGeomTarget);
                        const MPlug source = full.source();
                        if (!source.isNull())
                            names.append(SceneNames::nodeName(source.node()));
                    }
                }
                const MPlug outputs(node, MPxGeometryFilter::outputGeom);
                for (unsigned i = 0; r.geometry && i < outputs.numElements(); ++i) {
                    MPlugArray destinations;
                    outputs.elementByPhysicalIndex(i).destinations(destinations);
                    for (unsigned k = 0; k < destinations.length(); ++k)
                        names.append(SceneNames::nodeName(destinations[k].node()));
                }
                setResult(names);
            } else {
                return fail("-query needs a flag: -target, -weight, -weightCount or -geometry.");
            }
            return MS::kSuccess;
        }
        for (const Request::Target& t : r.added) {
            MDagPath base, target;
            DEFORMER_CHECK(shapeNamed(t.base, base));
            DEFORMER_CHECK(shapeNamed(t.target, target));
            DEFORMER_CHECK(checkTopology(r, base, t.base, target, t.target));
            unsigned item = 0;
            DEFORMER_CHECK(itemIndexOf(t.fullWeight, item));
            const MObject targetNode = target.node();
            const MPlug source = MPlug(targetNode, targetNode.hasFn(MFn::kMesh) ? MeshShapeNode::worldMesh
                                                                                : CurveShapeNode::worldSpace)
                                     .elementByLogicalIndex(0);
            DEFORMER_CHECK(mModifier.connect(source, itemPlug(node, 0, t.index, item).child(BlendShapeNode::inputGeomTarget)));
            // The target's weight exists from now on, at the value it had.
            const MPlug weight = weights.elementByLogicalIndex(t.index);
            if (!weight.isDestination())
                DEFORMER_CHECK(mModifier.newPlugValueFloat(weight, weight.asFloat()));
        }
        for (const auto& w : r.weightValues)
            DEFORMER_CHECK(mModifier.newPlugValueFloat(weights.elementByLogicalIndex(w.first), float(w.second)));
        if (r.envelopeGiven)
            DEFORMER_CHECK(mModifier.newPlugValueFloat(MPlug(node, MPxGeometryFilter::envelope), float(r.envelope)));
        return execute("blendShape");
    }

    MSelectionList list;
    DEFORMER_CHECK(SceneNames::namedOrSelected("blendShape", r.objects, list));
    std::vector<MDagPath> shapes;
    std::vector<MString> names;
    for (unsigned i = 0; i < list.length(); ++i) {
        MDagPath path, shape;
        MObject node;
        list.getDependNode(i, node);
        if (!list.getDagPath(i, path) || !DeformerCommand::deformableShape(path, shape))
            return fail(SceneNames::nodeName(node) + " has no mesh or curve.");
        shapes.push_back(shape);
        names.push_back(SceneNames::nodeName(node));
    }
    if (shapes.empty())
        return fail("name or select the targets and then the base.");
    const MDagPath base = shapes.back();
    shapes.pop_back();
    for (size_t i = 0; i < shapes.size(); ++i)
        DEFORMER_CHECK(checkTopology(r, base, names.back(), shapes[i], names[i]));

    MStatus status;
    MDGModifier& dg = mModifier;  // a dependency node, not a DAG node
    const MObject node = dg.createNode(BlendShapeNode::typeName, &status);
    DEFORMER_CHECK(status);
    DEFORMER_CHECK(mModifier.renameNode(node, r.name.length() ? r.name : MString("blendShape#")));
    DEFORMER_CHECK(execute("blendShape"));
    status = DeformerCommand::queueInsertion(mModifier, node, base, 0);
    const MPlug weights(node, BlendShapeNode::weight);
    for (size_t i = 0; i < shapes.size() && status; ++i) {
        // In-betweens share weight 0, at even steps up to the full target.
        const unsigned target = r.inBetween ? 0 : unsigned(i);
        const unsigned item = r.inBetween ? unsigned(5000 + std::lround(1000.0 * double(i + 1) / double(shapes.size())))
                                          : 6000u;
        const MObject targetNode = shapes[i].node();
        const MPlug source = MPlug(targetNode, targetNode.hasFn(MFn::kMesh) ? MeshShapeNode::worldMesh
                                                                            : CurveShapeNode::worldSpace)
                                 .elementByLogicalIndex(shapes[i].instanceNumber());
        status = mModifier.connect(source, itemPlug(node, 0, target, item).child(BlendShapeNode::inputGeomTarget));
        if (status)
            status = mModifier.newPlugValueFloat(weights.elementByLogicalIndex(target), 0.0f);
    }
    for (const auto& w : r.weightValues)
        if (status)
            status = mModifier.newPlugValueFloat(weights.elementByLogicalIndex(w.first), float(w.second));
    if (status)
        status = mModifier.newPlugValueShort(MPlug(node, BlendShapeNode::origin), r.origin == "world" ? 0 : 1);
    if (status && r.envelopeGiven)
        status = mModifier.newPlugValueFloat(MPlug(node, MPxGeometryFilter::envelope), float(r.envelope));
    if (status)
        status = mModifier.newPlugValueBool(MPlug(node, BlendShapeNode::topologyCheck), r.topologyCheck);
    if (!status) {
        mModifier.undoIt();  // the node made above goes again
        return status;
    }
    DEFORMER_CHECK(execute("blendShape"));
    MStringArray result;
    result.append(MFnDependencyNode(node).name());
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
