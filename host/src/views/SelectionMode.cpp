#include "views/SelectionMode.h"

#include "commands/builtins/CommandFlags.h"
#include "views/Views.h"

#include <maya/MGlobal.h>

namespace host {

namespace {

struct SelectionMode
{
    bool component = false;
    // Maya's default component mask: vertices.
    bool vertices = true, edges = false, faces = false;
};

SelectionMode& mode()
{
    static SelectionMode state;
    return state;
}

void changed()
{
    if (viewsStarted())
        scheduleRefreshAll();
}

const CommandFlags::Definition kModeFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-o", "-object", CommandFlags::kNoArg},
    {"-co", "-component", CommandFlags::kNoArg},
};

// Each component kind by Maya's general and polygon-specific flag names.
const CommandFlags::Definition kTypeFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-fc", "-facet", CommandFlags::kOptionalBool},
    {"-pf", "-polymeshFace", CommandFlags::kOptionalBool},
    {"-v", "-vertex", CommandFlags::kOptionalBool},
    {"-pv", "-polymeshVertex", CommandFlags::kOptionalBool},
    {"-eg", "-edge", CommandFlags::kOptionalBool},
    {"-pe", "-polymeshEdge", CommandFlags::kOptionalBool},
};

} // namespace

bool componentMode()
{
    return mode().component;
}

bool faceSelectMode()
{
    return mode().component && mode().faces;
}

void setComponentMode(bool on)
{
    mode().component = on;
    changed();
}

void setFaceSelectable(bool on)
{
    mode().faces = on;
    changed();
}

void resetSelectionMode()
{
    mode() = SelectionMode();
}

MStatus SelectModeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("selectMode", args, kModeFlags);
    if (!status)
        return status;
    const bool object = flags.isSet("-o"), component = flags.isSet("-co");
    if (object == component) {
        MGlobal::displayError("selectMode: give one of -object and -component.");
        return MS::kInvalidParameter;
    }
    if (flags.isQuery()) {
        setResult(component == mode().component);
        return MS::kSuccess;
    }
    setComponentMode(component);
    return MS::kSuccess;
}

MStatus SelectTypeCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("selectType", args, kTypeFlags);
    if (!status)
        return status;
    struct Kind
    {
        const char* flag;
        const char* polyFlag;
        bool SelectionMode::*on;
    };
    const Kind kinds[] = {{"-fc", "-pf", &SelectionMode::faces},
                          {"-v", "-pv", &SelectionMode::vertices},
                          {"-eg", "-pe", &SelectionMode::edges}};
    unsigned given = 0;
    for (const Kind& kind : kinds) {
        for (const char* flag : {kind.flag, kind.polyFlag}) {
            if (!flags.isSet(flag))
                continue;
            ++given;
            if (flags.isQuery())
                setResult(mode().*kind.on);
            else
                mode().*kind.on = flags.boolValue(flag, true);
        }
    }
    if (given == 0 || (flags.isQuery() && given > 1)) {
        MGlobal::displayError(flags.isQuery() ? "selectType: query one kind: -facet, -vertex or -edge."
                                              : "selectType: give -facet, -vertex or -edge with true or false.");
        return MS::kInvalidParameter;
    }
    changed();
    return MS::kSuccess;
}

} // namespace host
