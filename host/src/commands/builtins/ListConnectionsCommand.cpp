#include "commands/builtins/ListConnectionsCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-s", "-source", CommandFlags::kOptionalBool},
    {"-d", "-destination", CommandFlags::kOptionalBool},
    {"-p", "-plugs", CommandFlags::kOptionalBool},
    {"-c", "-connections", CommandFlags::kOptionalBool},
    {"-t", "-type", CommandFlags::kOneArg},
    {"-sh", "-shapes", CommandFlags::kOptionalBool},
};

// The plugs of an object argument: a plug (with its elements when it is an
// array) or every connected plug of a node.
MStatus plugsOf(const MString& name, MPlugArray& plugs)
{
    MStatus status;
    if (name.index('.') >= 0) {
        MPlug plug;
        status = SceneNames::findPlug("listConnections", name, plug);
        if (!status)
            return status;
        plugs.append(plug);
        if (plug.isArray())
            for (unsigned i = 0; i < plug.numElements(); ++i)
                plugs.append(plug.elementByPhysicalIndex(i));
        return MS::kSuccess;
    }
    MObject node;
    status = SceneNames::findNode("listConnections", name, node);
    if (!status)
        return status;
    return MFnDependencyNode(node).getConnections(plugs);
}

} // namespace

MStatus ListConnectionsCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("listConnections", args, kFlags);
    if (!status)
        return status;
    std::vector<MString> names = flags.objects();
    if (names.empty()) {
        MSelectionList selection;
        status = MGlobal::getActiveSelectionList(selection);
        if (!status)
            return status;
        for (unsigned i = 0; i < selection.length(); ++i) {
            MObject node;
            if (selection.getDependNode(i, node))
                names.push_back(SceneNames::nodeName(node));
        }
    }
    const bool sources = flags.boolValue("-s", true);
    const bool destinations = flags.boolValue("-d", true);
    const bool plugNames = flags.boolValue("-p", false);
    const bool pairs = flags.boolValue("-c", false);
    const MString type = flags.arg("-t");

    MStringArray result;
    for (const MString& name : names) {
        MPlugArray plugs;
        status = plugsOf(name, plugs);
        if (!status)
            return status;
        for (unsigned i = 0; i < plugs.length(); ++i) {
            MPlugArray others;
            plugs[i].connectedTo(others, sources, destinations);
            for (unsigned j = 0; j < others.length(); ++j) {
                const MObject otherNode = others[j].node();
                if (type.length() > 0 && MFnDependencyNode(otherNode).typeName() != type)
                    continue;
                // Plugs by their attributes' long names, as Maya lists them ("lvShape.outMesh").
                if (pairs)
                    result.append(SceneNames::plugName(plugs[i], true));
                result.append(plugNames ? SceneNames::plugName(others[j], true) : SceneNames::nodeName(otherNode));
            }
        }
    }
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
