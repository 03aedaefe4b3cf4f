#include "views/ToolContexts.h"

#include "dg/Messages.h"

#include <vector>

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

// A manipulator context a script made (manipMoveContext myMove), with its own settings.
struct CreatedContext
{
    MString name;
    ManipKind kind;
    ManipContextSettings settings;
};

const char* const kManipClass[] = {"manipMove", "manipRotate", "manipScale"};

struct ToolState
{
    MString current = "selectSuperContext";
    ManipContextSettings manips[3];
    std::vector<CreatedContext> created;
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

CreatedContext* createdContext(const MString& contextName)
{
    for (CreatedContext& c : toolState().created)
        if (c.name == contextName)
            return &c;
    return nullptr;
}

} // namespace

MString contextClass(const MString& contextName)
{
    for (const ContextName& c : kContexts)
        if (contextName == c.name)
            return MString(c.className);
    if (const CreatedContext* created = createdContext(contextName))
        return MString(kManipClass[int(created->kind)]);
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
    // As Maya tells scripts and plug-ins that watch the tool.
    fireEvent("ToolChanged");
    fireEvent("PostToolChanged");
    return true;
}

bool isManipContext(ManipKind kind, const MString& contextName)
{
    return manipContextSettings(kind, contextName) != nullptr;
}

ManipContextSettings* manipContextSettings(ManipKind kind, const MString& contextName)
{
    static const char* const kNames[] = {"Move", "Rotate", "Scale"};
    if (contextName == kNames[int(kind)])
        return &manipContextSettings(kind);
    CreatedContext* created = createdContext(contextName);
    return created && created->kind == kind ? &created->settings : nullptr;
}

bool createManipContext(ManipKind kind, const MString& contextName, const ManipContextSettings& settings)
{
    if (contextName.length() == 0 || contextClass(contextName).length() != 0)
        return false;
    toolState().created.push_back(CreatedContext{contextName, kind, settings});
    return true;
}

MString unusedContextName(const MString& stem)
{
    for (int n = 1;; ++n) {
        const MString name = stem + n;
        if (contextClass(name).length() == 0)
            return name;
    }
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
    fireEvent("ToolChanged");
    fireEvent("PostToolChanged");
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
    return currentManipulatorSettings(kind).manipVisible;
}

const ManipContextSettings& currentManipulatorSettings(ManipKind kind)
{
    // A made context has its own settings; the super contexts drive the built-in ones.
    const CreatedContext* created = createdContext(toolState().current);
    return created && created->kind == kind ? created->settings : manipContextSettings(kind);
}

} // namespace host
