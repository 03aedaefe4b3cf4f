#include "commands/builtins/ListHistoryCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/SceneNames.h"
#include "commands/scene/KeptSceneData.h"
#include "dg/Node.h"

#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-f", "-future", CommandFlags::kOptionalBool},
    {"-pdo", "-pruneDagObjects", CommandFlags::kOptionalBool},
    {"-lf", "-leaf", CommandFlags::kOptionalBool},
    {"-lv", "-levels", CommandFlags::kOneArg},
    {"-il", "-interestLevel", CommandFlags::kOneArg},
    {"-bf", "-breadthFirst", CommandFlags::kOptionalBool},
};

struct Walk
{
    bool future = false;
    bool pruneDag = false;
    bool breadthFirst = false;
    int levels = 0;  // 0: no limit
    int interest = 0;
    std::unordered_set<const void*> visited;
    std::vector<MObject> listed;
    // Connections a scene file made to attributes the host does not model
    // (a skinCluster's output into a mesh), by the node they lead away from.
    std::unordered_map<const void*, std::vector<MObject>> kept;

    static const void* key(const MObject& node) { return nodeOf(node); }

    void collectKeptConnections()
    {
        // The writer asks about each kept connection's source, then its
        // destination; declining the destination skips writing the line.
        std::vector<MObject> ends;
        std::string ignored;
        KeptSceneData::writeConnections(
            [&](const Node* node) {
                ends.push_back(const_cast<Node*>(node)->object());
                return ends.size() % 2 == 1;
            },
            ignored);
        for (size_t i = 0; i + 1 < ends.size(); i += 2) {
            const MObject& from = future ? ends[i] : ends[i + 1];
            const MObject& to = future ? ends[i + 1] : ends[i];
            kept[key(from)].push_back(to);
        }
    }

    bool seen(const MObject& node) const { return visited.count(key(node)) > 0; }

    bool interesting(const MObject& node) const
    {
        if (interest <= 0)
            return true;
        MPlug plug = MFnDependencyNode(node).findPlug("isHistoricallyInteresting", true);
        return plug.isNull() || plug.asInt() >= interest;
    }

    // Nodes one connection upstream (or downstream), in the node's connection order.
    std::vector<MObject> neighbours(const MObject& node) const
    {
        std::vector<MObject> out;
        MPlugArray plugs;
        MFnDependencyNode(node).getConnections(plugs);
        for (unsigned i = 0; i < plugs.length(); ++i) {
            MPlugArray others;
            plugs[i].connectedTo(others, !future, future);
            for (unsigned k = 0; k < others.length(); ++k) {
                const MObject other = others[k].node();
                if (other != node && std::find(out.begin(), out.end(), other) == out.end())
                    out.push_back(other);
            }
        }
        const auto it = kept.find(key(node));
        if (it != kept.end())
            for (const MObject& other : it->second)
                if (other != node && std::find(out.begin(), out.end(), other) == out.end())
                    out.push_back(other);
        return out;
    }

    void depthFirst(const MObject& node, int depth)
    {
        if (levels > 0 && depth >= levels)
            return;
        for (const MObject& next : neighbours(node)) {
            if (seen(next) || (pruneDag && next.hasFn(MFn::kDagNode)))
                continue;
            visited.insert(key(next));
            if (interesting(next))
                listed.push_back(next);
            depthFirst(next, depth + 1);
        }
    }

    void breadth(const std::vector<MObject>& starts)
    {
        std::vector<MObject> layer = starts;
        for (int depth = 0; !layer.empty() && (levels <= 0 || depth < levels); ++depth) {
            std::vector<MObject> next;
            for (const MObject& node : layer)
                for (const MObject& n : neighbours(node)) {
                    if (seen(n) || (pruneDag && n.hasFn(MFn::kDagNode)))
                        continue;
                    visited.insert(key(n));
                    if (interesting(n))
                        listed.push_back(n);
                    next.push_back(n);
                }
            layer.swap(next);
        }
    }
};

} // namespace

MStatus ListHistoryCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("listHistory", args, kFlags);
    if (!status)
        return status;
    Walk walk;
    walk.future = flags.boolValue("-f", false);
    walk.pruneDag = flags.boolValue("-pdo", false);
    walk.breadthFirst = flags.boolValue("-bf", false);
    double number = 0;
    if (flags.isSet("-lv")) {
        status = flags.doubleValue("-lv", number);
        if (!status)
            return status;
        walk.levels = int(number);
    }
    if (flags.isSet("-il")) {
        status = flags.doubleValue("-il", number);
        if (!status)
            return status;
        walk.interest = int(number);
    }
    walk.collectKeptConnections();
    MSelectionList targets;
    status = SceneNames::namedOrSelected("listHistory", flags.objects(), targets);
    if (!status)
        return status;
    if (targets.length() == 0) {
        MGlobal::displayError("listHistory: Not enough objects or values.");
        return MS::kInvalidParameter;
    }

    // A transform stands for its shapes: the history of the geometry it shows.
    std::vector<MObject> starts;
    const bool leaf = flags.boolValue("-lf", true);
    for (unsigned i = 0; i < targets.length(); ++i) {
        MObject node;
        if (!targets.getDependNode(i, node))
            continue;
        MDagPath path;
        if (leaf && node.hasFn(MFn::kTransform) && targets.getDagPath(i, path) == MS::kSuccess) {
            bool anyShape = false;
            for (unsigned c = 0, n = path.childCount(); c < n; ++c) {
                const MObject child = path.child(c);
                if (child.hasFn(MFn::kShape) && !MFnDagNode(child).isIntermediateObject()) {
                    starts.push_back(child);
                    anyShape = true;
                }
            }
            if (anyShape)
                continue;
        }
        starts.push_back(node);
    }
    for (const MObject& start : starts) {
        if (walk.seen(start))
            continue;
        walk.visited.insert(Walk::key(start));
        if (!(walk.pruneDag && start.hasFn(MFn::kDagNode)) && walk.interesting(start))
            walk.listed.push_back(start);
    }
    if (walk.breadthFirst)
        walk.breadth(starts);
    else
        for (const MObject& start : starts)
            walk.depthFirst(start, 0);

    MStringArray result;
    for (const MObject& node : walk.listed)
        result.append(SceneNames::nodeName(node));
    setResult(result);
    return MS::kSuccess;
}

} // namespace host
