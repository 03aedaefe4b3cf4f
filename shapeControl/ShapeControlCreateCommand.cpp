#include "shapeControl/ShapeControlCreateCommand.h"

#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>
#include <maya/MBoundingBox.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMesh.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnNurbsCurveData.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MVector.h>

#include <set>
#include <string>

namespace {

const char* const kStatusSource = "shapeControlCreateCommand";

bool isMeshOrCurve(const MObject& node)
{
    return node.hasFn(MFn::kMesh) || node.hasFn(MFn::kNurbsCurve);
}

// A mesh or curve shape that is not construction history.
bool isUsableSource(const MDagPath& path)
{
    if (!isMeshOrCurve(path.node())) {
        return false;
    }
    MStatus status;
    MFnDagNode node(path, &status);
    return status && !node.isIntermediateObject();
}

// The shape a selected path stands for: itself, its one shape, or its first usable child.
bool sourceShapeOf(const MDagPath& selected, MDagPath& shape)
{
    if (isUsableSource(selected)) {
        shape = selected;
        return true;
    }
    MDagPath extended(selected);
    if (extended.extendToShape() && isUsableSource(extended)) {
        shape = extended;
        return true;
    }
    MStatus status;
    MFnDagNode node(selected, &status);
    if (!status) {
        return false;
    }
    const unsigned count = node.childCount();
    for (unsigned i = 0; i < count; ++i) {
        const MObject child = node.child(i, &status);
        if (!status || !isMeshOrCurve(child)) {
            continue;
        }
        MDagPath childPath;
        if (MDagPath::getAPathTo(child, childPath) && isUsableSource(childPath)) {
            shape = childPath;
            return true;
        }
    }
    return false;
}

std::vector<MDagPath> gatherSources(const MSelectionList& selection)
{
    std::vector<MDagPath> sources;
    std::set<std::string> seen;
    for (unsigned i = 0; i < selection.length(); ++i) {
        MDagPath selected;
        MDagPath shape;
        if (!selection.getDagPath(i, selected) || !sourceShapeOf(selected, shape)) {
            continue;
        }
        if (seen.insert(shape.fullPathName().asChar()).second) {
            sources.push_back(shape);
        }
    }
    return sources;
}

// The path of the transform above a shape; false when the shape sits at the world's root.
bool parentTransformOf(const MDagPath& shape, MDagPath& parent)
{
    parent = shape;
    return parent.pop() && parent.length() > 0;
}

MString derivedName(const MDagPath& source)
{
    MDagPath parent;
    const std::string partial =
        (parentTransformOf(source, parent) ? parent : source).partialPathName().asChar();
    const size_t bar = partial.rfind('|');
    const std::string leaf = bar == std::string::npos ? partial : partial.substr(bar + 1);
    return MString((leaf + "_ShapeControl").c_str());
}

// The object-space points a source's box is measured from: mesh vertices or curve CVs.
MStatus sourcePoints(const MDagPath& source, bool isMesh, MPointArray& points)
{
    MStatus status;
    if (isMesh) {
        MFnMesh mesh(source, &status);
        PELLIX_PASS_ON(status);
        return mesh.getPoints(points, MSpace::kObject);
    }
    MFnNurbsCurve curve(source, &status);
    PELLIX_PASS_ON(status);
    return curve.getCVs(points, MSpace::kObject);
}

// A copy of the source's geometry as a data object the control can store.
MObject bakeSource(const MDagPath& source, bool isMesh)
{
    MStatus status;
    if (isMesh) {
        MFnMeshData dataFn;
        MObject data = dataFn.create(&status);
        if (!status || data.isNull()) {
            return MObject();
        }
        MFnMesh mesh;
        const MObject copied = mesh.copy(source.node(), data, &status);
        return status && !copied.isNull() ? data : MObject();
    }

    MFnNurbsCurve curve(source, &status);
    if (!status) {
        return MObject();
    }
    MPointArray cvs;
    MDoubleArray knots;
    if (!curve.getCVs(cvs, MSpace::kObject) || cvs.length() == 0 || !curve.getKnots(knots)) {
        return MObject();
    }
    const int degree = curve.degree(&status);
    if (!status || degree < 1) {
        return MObject();
    }
    const MFnNurbsCurve::Form form = curve.form(&status);
    if (!status) {
        return MObject();
    }
    MFnNurbsCurveData dataFn;
    MObject data = dataFn.create(&status);
    if (!status || data.isNull()) {
        return MObject();
    }
    MFnNurbsCurve built;
    const MObject created = built.create(cvs, knots, static_cast<unsigned>(degree), form, false, false, data, &status);
    return status && !created.isNull() ? data : MObject();
}

// Queues a value for one of the node's plugs when it has that plug.
MStatus queueValueIfPresent(MDGModifier& modifier, const MFnDependencyNode& node, const char* name, double value)
{
    MStatus status;
    MPlug plug = node.findPlug(name, true, &status);
    if (!status || plug.isNull()) {
        return MS::kSuccess;
    }
    return modifier.newPlugValueDouble(plug, value);
}

} // namespace

const MString ShapeControlCreateCommand::commandName("shapeControlCreate");

ShapeControlCreateCommand::ShapeControlCreateCommand() = default;
ShapeControlCreateCommand::~ShapeControlCreateCommand() = default;

void* ShapeControlCreateCommand::creator()
{
    return new ShapeControlCreateCommand();
}

MSyntax ShapeControlCreateCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-name", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-l", "-live", MSyntax::kBoolean));
    // The sources come from the active selection only.
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

bool ShapeControlCreateCommand::isUndoable() const
{
    return true;
}

void ShapeControlCreateCommand::discardCreatedNodes()
{
    PELLIX_REPORT(fDagModifier->undoIt());
}

MStatus ShapeControlCreateCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase parsed(syntax(), args, &status);
    if (!status)
        return status;  // the parser has said what is wrong

    MSelectionList selection;
    if (!MGlobal::getActiveSelectionList(selection) || selection.length() == 0) {
        displayError("shapeControlCreate: select a mesh or curve shape/transform first.");
        return MS::kFailure;
    }
    const std::vector<MDagPath> sources = gatherSources(selection);
    if (sources.empty()) {
        displayError("shapeControlCreate: select at least one mesh or nurbsCurve shape/transform.");
        return MS::kFailure;
    }

    MString requestedName;
    if (parsed.isFlagSet("-name")) {
        PELLIX_CHECK(parsed.getFlagArgument("-name", 0, requestedName));
    }
    if (requestedName.length() > 0 && sources.size() > 1) {
        displayWarning("shapeControlCreate: -name is ignored for multiple selected sources.");
    }
    bool live = false;
    if (parsed.isFlagSet("-live")) {
        PELLIX_CHECK(parsed.getFlagArgument("-live", 0, live));
    }

    fDagModifier = std::make_unique<MDagModifier>();
    fDgModifier = std::make_unique<MDGModifier>();
    fWork.clear();
    fWork.reserve(sources.size());

    for (const MDagPath& source : sources) {
        Work work;
        work.source = source;
        work.isMesh = source.node().hasFn(MFn::kMesh);
        work.name = requestedName.length() > 0 && sources.size() == 1 ? requestedName : derivedName(source);
        work.transform = fDagModifier->createNode("transform", MObject::kNullObj, &status);
        if (!status) {
            displayError("shapeControlCreate: failed to queue transform creation.");
            return status;
        }
        work.shape = fDagModifier->createNode("shapeControl", work.transform, &status);
        if (!status) {
            displayError("shapeControlCreate: failed to queue shape creation.");
            return status;
        }
        fWork.push_back(work);
    }
    PELLIX_CHECK(fDagModifier->doIt());

    MSelectionList created;
    for (const Work& work : fWork) {
        status = queueControlSettings(work, live);
        if (!status) {
            // Nothing of the DG modifier has run yet: dropping the new nodes undoes it all.
            discardCreatedNodes();
            return status;
        }
        PELLIX_REPORT(created.add(work.transform));
    }

    status = fDgModifier->doIt();
    if (!status) {
        // Whatever part of the renames, values and connections ran goes first, then the nodes,
        // so that no half-built control is left behind.
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fDgModifier->undoIt());
        discardCreatedNodes();
        displayError("shapeControlCreate: failed to set up the new controls; nothing was created.");
        return status;
    }

    MStringArray names;
    for (const Work& work : fWork) {
        names.append(MFnDependencyNode(work.transform).name());
        names.append(MFnDependencyNode(work.shape).name());
    }
    PELLIX_REPORT(MGlobal::setActiveSelectionList(created, MGlobal::kReplaceList));
    setResult(names);
    return MS::kSuccess;
}

MStatus ShapeControlCreateCommand::queueControlSettings(const Work& work, bool live)
{
    MDGModifier& modifier = *fDgModifier;
    PELLIX_CHECK(modifier.renameNode(work.transform, work.name));
    PELLIX_CHECK(modifier.renameNode(work.shape, work.name + "Shape"));

    MStatus status;
    MDagPath parent;
    if (parentTransformOf(work.source, parent)) {
        // The control's transform takes over the source transform's world placement.
        const MMatrix world = parent.inclusiveMatrix(&status);
        PELLIX_CHECK(status);
        const MTransformationMatrix decomposed(world);
        const MVector translation = decomposed.getTranslation(MSpace::kWorld);
        double rotation[3] = {0.0, 0.0, 0.0};
        MTransformationMatrix::RotationOrder order = MTransformationMatrix::kXYZ;
        PELLIX_CHECK(decomposed.getRotation(rotation, order));
        double scale[3] = {1.0, 1.0, 1.0};
        PELLIX_CHECK(decomposed.getScale(scale, MSpace::kWorld));

        const MFnDependencyNode transform(work.transform);
        static const char* const kTranslate[] = {"translateX", "translateY", "translateZ"};
        static const char* const kRotate[] = {"rotateX", "rotateY", "rotateZ"};
        static const char* const kScale[] = {"scaleX", "scaleY", "scaleZ"};
        for (int axis = 0; axis < 3; ++axis) {
            PELLIX_CHECK(queueValueIfPresent(modifier, transform, kTranslate[axis], translation[axis]));
            PELLIX_CHECK(queueValueIfPresent(modifier, transform, kRotate[axis], rotation[axis]));
            PELLIX_CHECK(queueValueIfPresent(modifier, transform, kScale[axis], scale[axis]));
        }
    }

    MFnDependencyNode sourceNode(work.source.node(), &status);
    if (!status) {
        displayError("shapeControlCreate: failed to access source shape node.");
        return MS::kFailure;
    }
    MFnDependencyNode shape(work.shape, &status);
    PELLIX_CHECK(status);

    static const char* const kLocalPlacement[] = {"localPositionX", "localPositionY", "localPositionZ",
                                                  "localScaleX",    "localScaleY",    "localScaleZ"};
    for (const char* name : kLocalPlacement) {
        MPlug from = sourceNode.findPlug(name, true, &status);
        if (!status || from.isNull()) {
            continue;
        }
        MPlug to = shape.findPlug(name, true, &status);
        if (!status || to.isNull()) {
            continue;
        }
        const double value = from.asDouble(&status);
        PELLIX_CHECK(status);
        PELLIX_CHECK(modifier.newPlugValueDouble(to, value));
    }

    MPointArray points;
    if (sourcePoints(work.source, work.isMesh, points) && points.length() > 0) {
        MBoundingBox box;
        for (unsigned i = 0; i < points.length(); ++i) {
            box.expand(points[i]);
        }
        const MPoint low = box.min();
        const MPoint high = box.max();
        const char* const corners[] = {"bbMinX", "bbMinY", "bbMinZ", "bbMaxX", "bbMaxY", "bbMaxZ"};
        const double values[] = {low.x, low.y, low.z, high.x, high.y, high.z};
        for (int i = 0; i < 6; ++i) {
            PELLIX_CHECK(queueValueIfPresent(modifier, shape, corners[i], values[i]));
        }
        PELLIX_CHECK(queueValueIfPresent(modifier, shape, "hasBBox", 1.0));
    }

    MPlug geometry = shape.findPlug("inGeometry", true, &status);
    if (!status || geometry.isNull()) {
        displayError("shapeControlCreate: ShapeControl.inGeometry plug was not found.");
        return MS::kFailure;
    }

    if (live) {
        const char* const outputName = work.isMesh ? "outMesh" : "local";
        MPlug output = sourceNode.findPlug(outputName, true, &status);
        if (!status || output.isNull()) {
            displayError(MString("shapeControlCreate: source shape has no ") + outputName + " output.");
            return MS::kFailure;
        }
        PELLIX_CHECK(modifier.connect(output, geometry));
        return MS::kSuccess;
    }

    MObject baked = bakeSource(work.source, work.isMesh);
    if (baked.isNull() || !modifier.newPlugValue(geometry, baked)) {
        displayError("shapeControlCreate: failed to bake source geometry into ShapeControl.inGeometry.");
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus ShapeControlCreateCommand::undoIt()
{
    if (!fDagModifier || !fDgModifier) {
        return MS::kSuccess;
    }
    PELLIX_CHECK(fDgModifier->undoIt());
    PELLIX_CHECK(fDagModifier->undoIt());
    return MS::kSuccess;
}

MStatus ShapeControlCreateCommand::redoIt()
{
    if (!fDagModifier || !fDgModifier) {
        return MS::kFailure;
    }
    PELLIX_CHECK(fDagModifier->doIt());
    PELLIX_CHECK(fDgModifier->doIt());
    return MS::kSuccess;
}
