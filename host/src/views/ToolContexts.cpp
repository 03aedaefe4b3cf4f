#include "views/ToolContexts.h"

namespace host {

namespace {

struct ContextName
{
    const char* name;
    const char* className;
};
// The tools' super contexts and the manipulator contexts they drive.
const ContextName kContexts[] = {
    {"selectSuperContext", "selectTool"}, {"moveSuperContext", "manipMove"},
    {"RotateSuperContext", "manipRotate"}, {"scaleSuperContext", "manipScale"},
    {"Move", "manipMove"},                {"Rotate", "manipRotate"},
    {"Scale", "manipScale"},
};

struct ToolState
{
    MString current = "selectSuperContext";
    ManipContextSettings manips[3];
    ToolState()
    {
        // Maya's defaults: move and scale in world space, rotate in object space.
        manips[int(ManipKind::kMove)].mode = 2;
        manips[int(ManipKind::kRotate)].mode = 0;
        manips[int(ManipKind::kScale)].mode = 2;
    }
};

ToolState& toolState()
{
    static ToolState state;
    return state;
}

} // namespace

MString contextClass(const MString& contextName)
{
    for (const ContextName& c : kContexts)
        if (contextName == c.name)
            return MString(c.className);
    return MString();
}

MString currentContext()
{
    return toolState().current;
}

bool setCurrentContext(const MString& contextName)
{
    if (contextClass(contextName).length() == 0)
        return false;
    toolState().current = contextName;
    return true;
}

bool isManipContext(ManipKind kind, const MString& contextName)
{
    static const char* const kNames[] = {"Move", "Rotate", "Scale"};
    return contextName == kNames[int(kind)];
}

ManipContextSettings& manipContextSettings(ManipKind kind)
{
    return toolState().manips[int(kind)];
}

int maxManipMode(ManipKind kind)
{
    return kind == ManipKind::kRotate ? 3 : 6;
}

void resetToolContexts()
{
    toolState() = ToolState();
}

bool currentManipulator(ManipKind& kind)
{
    const MString cls = contextClass(toolState().current);
    if (cls == "manipMove")
        kind = ManipKind::kMove;
    else if (cls == "manipRotate")
        kind = ManipKind::kRotate;
    else if (cls == "manipScale")
        kind = ManipKind::kScale;
    else
        return false;
    return manipContextSettings(kind).manipVisible;
}

} // namespace host
