#include "views/IsolateSelect.h"

#include "dag/ObjectSetNode.h"
#include "dg/Scene.h"
#include "views/Views.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnSet.h>
#include <maya/MObjectHandle.h>
#include <maya/MSelectionList.h>

#include <map>
#include <string>
#include <vector>

namespace host {

namespace {

struct PanelIsolate
{
    bool on = false;
    MObjectHandle set;
    // Full path names of the members when the view last read the set.
    std::vector<std::string> shown;
};

std::map<std::string, PanelIsolate>& panels()
{
    static std::map<std::string, PanelIsolate> state;
    return state;
}

PanelIsolate& entry(const MString& panelName)
{
    PanelIsolate& p = panels()[panelName.asChar()];
    // A deleted set (a cleared scene) ends isolation.
    if (!p.set.isValid()) {
        p.on = false;
        p.set = MObjectHandle();
        p.shown.clear();
    }
    return p;
}

void refreshPanel(const MString& panelName)
{
    const int index = panelIndex(panelName);
    if (index >= 0)
        scheduleRefresh(unsigned(index));
}

} // namespace

bool isIsolatablePanel(const MString& panelName)
{
    if (viewsStarted())
        return panelIndex(panelName) >= 0;
    for (int i = 1; i <= 4; ++i)
        if (panelName == MString("modelPanel") + i)
            return true;
    return false;
}

bool isolateState(const MString& panelName)
{
    if (panels().find(panelName.asChar()) == panels().end())
        return false;
    return entry(panelName).on;
}

MStatus isolateSet(const MString& panelName, MObject& set)
{
    PanelIsolate& p = entry(panelName);
    if (!p.set.isValid()) {
        MStatus status;
        MObject created = createNode(ObjectSetNode::typeName, panelName + "ViewSelectedSet", &status);
        if (!status)
            return status;
        p.set = MObjectHandle(created);
    }
    set = p.set.object();
    return MS::kSuccess;
}

MStatus setIsolateState(const MString& panelName, bool on)
{
    if (on) {
        MObject set;
        MStatus status = isolateSet(panelName, set);
        if (!status)
            return status;
    }
    entry(panelName).on = on;
    updateIsolateView(panelName);
    return MS::kSuccess;
}

MString isolateViewObjects(const MString& panelName)
{
    if (!isolateState(panelName))
        return MString();
    MFnDependencyNode fn(entry(panelName).set.object());
    return fn.name();
}

void updateIsolateView(const MString& panelName)
{
    PanelIsolate& p = entry(panelName);
    p.shown.clear();
    if (p.set.isValid()) {
        MSelectionList members;
        MFnSet fn(p.set.object());
        fn.getMembers(members, false);
        for (unsigned i = 0; i < members.length(); ++i) {
            MDagPath path;
            if (members.getDagPath(i, path))
                p.shown.push_back(path.fullPathName().asChar());
        }
    }
    refreshPanel(panelName);
}

bool isolateShows(const MString& panelName, const MDagPath& path)
{
    const auto found = panels().find(panelName.asChar());
    if (found == panels().end() || !found->second.on || !found->second.set.isValid())
        return true;
    const std::string name = path.fullPathName().asChar();
    for (const std::string& member : found->second.shown) {
        // The member itself, or a path below it ("|a" shows "|a|aShape", not "|ab").
        if (name.compare(0, member.size(), member) == 0 &&
            (name.size() == member.size() || name[member.size()] == '|'))
            return true;
    }
    return false;
}

} // namespace host
