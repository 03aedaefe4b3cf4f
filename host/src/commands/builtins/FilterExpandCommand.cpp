#include "commands/builtins/FilterExpandCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dg/Object.h"
#include "dg/SelectionItem.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-sm", "-selectionMask", CommandFlags::kOneArg},
    {"-ex", "-expand", CommandFlags::kOptionalBool},
    {"-fp", "-fullPath", CommandFlags::kOptionalBool},
};

// Maya's selection mask numbers for the kinds the host has.
const struct
{
    int mask;
    MFn::Type type;
} kMasks[] = {
    {9, MFn::kNurbsCurve},          // NURBS curves
    {12, MFn::kMesh},               // polygon meshes
    {28, MFn::kCurveCVComponent},   // control vertices
    {31, MFn::kMeshVertComponent},  // polygon vertices
    {32, MFn::kMeshEdgeComponent},  // polygon edges
    {34, MFn::kMeshPolygonComponent},  // polygon faces
};

// The object's shape of `type` (itself or the first visible one under it), for the object masks.
bool shapeOfType(MDagPath path, MFn::Type type)
{
    if (path.hasFn(type))
        return true;
    for (unsigned i = 0, n = path.childCount(); i < n; ++i) {
        const MObject child = path.child(i);
        if (child.hasFn(type) && !MFnDagNode(child).isIntermediateObject())
            return true;
    }
    return false;
}

} // namespace

MStatus FilterExpandCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("filterExpand", args, kFlags);
    if (!status)
        return status;
    std::vector<MFn::Type> wanted;
    for (unsigned i = 0; i < flags.uses("-sm"); ++i) {
        long long mask = 0;
        if (!ValueText::parseInt(flags.arg("-sm", i), mask)) {
            MGlobal::displayError("filterExpand: -selectionMask takes a number, not \"" + flags.arg("-sm", i) +
                                  "\".");
            return MS::kInvalidParameter;
        }
        for (const auto& m : kMasks)
            if (m.mask == mask)
                wanted.push_back(m.type);
    }
    const bool anyKind = flags.uses("-sm") == 0;
    const bool expand = flags.boolValue("-ex", true);
    const bool fullPath = flags.boolValue("-fp", false);

    MSelectionList items;
    status = SceneNames::namedOrSelected("filterExpand", flags.objects(), items);
    if (!status)
        return status;
    MStringArray result;
    for (unsigned i = 0; i < items.length(); ++i) {
        MDagPath path;
        MObject component;
        if (!items.getDagPath(i, path, component))
            continue;
        if (!component.isNull()) {
            if (!anyKind && std::find(wanted.begin(), wanted.end(), component.apiType()) == wanted.end())
                continue;
            for (const MString& text : componentStrings(path, component, fullPath, expand))
                result.append(text);
            continue;
        }
        bool matches = anyKind;
        for (MFn::Type type : wanted)
            matches = matches || (!fnIsA(type, MFn::kComponent) && shapeOfType(path, type));
        if (matches)
            result.append(fullPath ? path.fullPathName() : path.partialPathName());
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
