#include "geometry/DuplicateCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "dg/Node.h"
#include "geometry/CurveData.h"
#include "geometry/CurveShapeNode.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshData.h"
#include "geometry/MeshShapeNode.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MStringArray.h>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-n", "-name", CommandFlags::kOneArg},
    {"-rr", "-returnRootsOnly", CommandFlags::kNoArg},
};

// "pCube12" -> "pCube".
MString withoutNumber(const MString& name)
{
    int end = int(name.length());
    const char* s = name.asChar();
    while (end > 0 && s[end - 1] >= '0' && s[end - 1] <= '9')
        --end;
    return end > 0 ? name.substring(0, end - 1) : name;
}

// The transform's channels a copy starts from.
const char* const kChannels[] = {"translate", "rotate", "scale", "shear", "rotateOrder", "rotatePivot",
                                 "scalePivot", "visibility"};

MStatus copyChannel(MDGModifier& modifier, const MPlug& from, const MPlug& to)
{
    if (from.numChildren() > 0) {
        for (unsigned k = 0; k < from.numChildren(); ++k)
            GEO_CHECK(copyChannel(modifier, from.child(k), to.child(k)));
        return MS::kSuccess;
    }
    MStatus status;
    const double value = from.asDouble(&status);
    GEO_CHECK(status);
    return modifier.newPlugValueDouble(to, value);
}

} // namespace

MStatus DuplicateCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    GEO_CHECK(flags.parse("duplicate", args, kFlags));
    MSelectionList sources;
    for (const MString& name : flags.objects())
        GEO_CHECK(SceneNames::addMatches("duplicate", name, sources));
    if (flags.objects().empty())
        GEO_CHECK(MGlobal::getActiveSelectionList(sources));
    if (sources.length() == 0) {
        MGlobal::displayError("duplicate: nothing to duplicate: name or select objects.");
        return MS::kInvalidParameter;
    }
    const MString requested = flags.arg("-n");
    MStringArray result;
    for (unsigned i = 0; i < sources.length(); ++i) {
        MDagPath source;
        if (!sources.getDagPath(i, source) || !source.node().hasFn(MFn::kTransform)) {
            MObject node;
            sources.getDependNode(i, node);
            MGlobal::displayError(MString("duplicate: ") + SceneNames::nodeName(node) +
                                  " is not a transform; only transforms and their meshes are duplicated.");
            return MS::kInvalidParameter;
        }
        MStatus status;
        MFnDagNode original(source);
        const MObject parent = source.length() > 1 ? original.parent(0) : MObject::kNullObj;
        MObject copy = mModifier.createNode("transform", parent, &status);
        GEO_CHECK(status);
        // A copy takes the next free number of its original's name.
        const bool named = requested.length() && sources.length() == 1;
        const MString name = named ? requested : withoutNumber(original.name()) + "#";
        GEO_CHECK(mModifier.renameNode(copy, name));
        for (const char* channel : kChannels)
            GEO_CHECK(copyChannel(mModifier, original.findPlug(channel, true), MFnDagNode(copy).findPlug(channel, true)));
        GEO_CHECK(execute("duplicate"));

        for (unsigned c = 0; c < original.childCount(); ++c) {
            const MObject child = original.child(c);
            if (!nodeOf(child)->isShape || MFnDagNode(child).isIntermediateObject())
                continue;
            MObject shape = mModifier.createNode(MFnDagNode(child).typeName(), copy, &status);
            GEO_CHECK(status);
            // The shape takes the copy's number: "pCubeShape1" -> "pCubeShape2".
            const MString copyName = MFnDagNode(copy).name();
            const MString prefix = withoutNumber(original.name());
            const MString digits = copyName.substring(int(prefix.length()), int(copyName.length()) - 1);
            const MString shapeName = named ? requested + "Shape"
                                            : withoutNumber(MFnDagNode(child).name()) + (digits.length() ? digits : "#");
            GEO_CHECK(mModifier.renameNode(shape, shapeName));
            GEO_CHECK(copyShapeValues(child, shape));
        }
        GEO_CHECK(mCopies.add(copy));
        result.append(SceneNames::nodeName(copy));
    }
    GEO_CHECK(MGlobal::getActiveSelectionList(mPreviousSelection));
    GEO_CHECK(MGlobal::setActiveSelectionList(mCopies));
    setResult(result);
    return MS::kSuccess;
}

// A copied shape keeps its original's current geometry as its own (its history
// is not copied) and every other stored value.
MStatus DuplicateCommand::copyShapeValues(const MObject& original, const MObject& shape)
{
    MStatus status;
    if (original.hasFn(MFn::kMesh)) {
        const MObject geometry = MPlug(original, MeshShapeNode::outMesh).asMObject(&status);
        GEO_CHECK(status);
        const MeshData* data = meshDataOf(geometry);
        MObject copy = MeshData::make(data ? data->shared() : nullptr);
        GEO_CHECK(mModifier.newPlugValue(MPlug(shape, MeshShapeNode::cachedInMesh), copy));
        return execute("duplicate");
    }
    if (original.hasFn(MFn::kNurbsCurve)) {
        const MObject geometry = MPlug(original, CurveShapeNode::local).asMObject(&status);
        GEO_CHECK(status);
        const CurveData* data = curveDataOf(geometry);
        MObject copy = CurveData::make(data ? &data->geometry : nullptr);
        GEO_CHECK(mModifier.newPlugValue(MPlug(shape, CurveShapeNode::cached), copy));
        return execute("duplicate");
    }
    // Any other shape (locators, plug-in shapes): its stored values, read up to date.
    GEO_CHECK(execute("duplicate"));
    Node* from = nodeOf(original);
    Node* to = nodeOf(shape);
    for (size_t i = 0; i < from->staticCount && i < to->staticCount; ++i) {
        Attribute* attr = from->attrs[i];
        if (!attr->is(kStorable))
            continue;
        MPlug source(original, ObjectAccess::make(attr));
        if (!source.isArray() && !source.isCompound())
            source.asMDataHandle(&status);
        to->slots[i]->copyValueFrom(*from->slots[i]);
    }
    return MS::kSuccess;
}

MStatus DuplicateCommand::undoIt()
{
    GEO_CHECK(MGlobal::setActiveSelectionList(mPreviousSelection));
    return ModifierCommand::undoIt();
}

MStatus DuplicateCommand::redoIt()
{
    GEO_CHECK(ModifierCommand::redoIt());
    return MGlobal::setActiveSelectionList(mCopies);
}

} // namespace host
