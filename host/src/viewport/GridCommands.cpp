#include "viewport/GridCommands.h"

#include "commands/builtins/CommandFlags.h"
#include "viewport/ViewDecorations.h"
#include "views/Views.h"

#include <maya/MDistance.h>
#include <maya/MGlobal.h>

#include <cmath>

namespace host {

namespace {

const CommandFlags::Definition kGridFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-tgl", "-toggle", CommandFlags::kOptionalBool},
    {"-s", "-size", CommandFlags::kArgUnlessQuery},
    {"-sp", "-spacing", CommandFlags::kArgUnlessQuery},
    {"-d", "-divisions", CommandFlags::kArgUnlessQuery},
    {"-da", "-displayAxes", CommandFlags::kOptionalBool},
    {"-dab", "-displayAxesBold", CommandFlags::kOptionalBool},
    {"-dgl", "-displayGridLines", CommandFlags::kOptionalBool},
    {"-ddl", "-displayDivisionLines", CommandFlags::kOptionalBool},
    {"-r", "-reset", CommandFlags::kNoArg},
};

const CommandFlags::Definition kUpAxisFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-ax", "-axis", CommandFlags::kArgUnlessQuery},
    {"-rv", "-rotateView", CommandFlags::kOptionalBool},
};

const CommandFlags::Definition kToggleAxisFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-v", "-view", CommandFlags::kOptionalBool},
};

const CommandFlags::Definition kDisplayPrefFlags[] = {
    {"-q", "-query", CommandFlags::kNoArg},
    {"-dgr", "-displayGradient", CommandFlags::kOptionalBool},
};

struct Switch
{
    const char* flag;
    bool GridSettings::*member;
};
const Switch kSwitches[] = {
    {"-tgl", &GridSettings::shown},         {"-da", &GridSettings::axes},
    {"-dab", &GridSettings::axesBold},      {"-dgl", &GridSettings::gridLines},
    {"-ddl", &GridSettings::divisionLines},
};

// A positive length in the working unit, kept in centimetres.
MStatus readLength(const CommandFlags& flags, const char* flag, double& centimetres)
{
    double value = 0.0;
    MStatus status = flags.doubleValue(flag, value);
    if (!status)
        return status;
    if (!(value > 0.0) || !std::isfinite(value)) {
        MGlobal::displayError(MString("grid: ") + flag + " takes a length above 0, not " + flags.arg(flag) + ".");
        return MS::kInvalidParameter;
    }
    centimetres = MDistance::uiToInternal(value);
    return MS::kSuccess;
}

} // namespace

MStatus GridCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("grid", args, kGridFlags);
    if (!status)
        return status;
    GridSettings& grid = gridSettings();
    if (flags.isQuery()) {
        if (flags.isSet("-s"))
            setResult(MDistance::internalToUI(grid.size));
        else if (flags.isSet("-sp"))
            setResult(MDistance::internalToUI(grid.spacing));
        else if (flags.isSet("-d"))
            setResult(grid.divisions);
        else {
            for (const Switch& s : kSwitches)
                if (flags.isSet(s.flag)) {
                    setResult(grid.*s.member);
                    return MS::kSuccess;
                }
            MGlobal::displayError("grid: give the flag to query.");
            return MS::kInvalidParameter;
        }
        return MS::kSuccess;
    }
    GridSettings next = flags.isSet("-r") ? GridSettings() : grid;
    if (flags.isSet("-s") && !(status = readLength(flags, "-s", next.size)))
        return status;
    if (flags.isSet("-sp") && !(status = readLength(flags, "-sp", next.spacing)))
        return status;
    if (flags.isSet("-d")) {
        double divisions = 0.0;
        status = flags.doubleValue("-d", divisions);
        if (!status)
            return status;
        if (!(divisions >= 1.0 && divisions <= 1000.0) || divisions != std::floor(divisions)) {
            MGlobal::displayError(MString("grid: -divisions takes a whole number from 1 to 1000, not ") +
                                  flags.arg("-d") + ".");
            return MS::kInvalidParameter;
        }
        next.divisions = int(divisions);
    }
    for (const Switch& s : kSwitches)
        if (flags.isSet(s.flag))
            next.*s.member = flags.boolValue(s.flag, true);
    if (next.size / (next.spacing / next.divisions) > 10000.0) {
        MGlobal::displayError("grid: that size, spacing and divisions would draw more than 10000 lines a side.");
        return MS::kInvalidParameter;
    }
    grid = next;
    scheduleRefreshAll();
    return MS::kSuccess;
}

MStatus UpAxisCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("upAxis", args, kUpAxisFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        setResult(MString(upAxis() == 'z' ? "z" : "y"));
        return MS::kSuccess;
    }
    if (!flags.isSet("-ax")) {
        MGlobal::displayError("upAxis: give -axis y or -axis z.");
        return MS::kInvalidParameter;
    }
    const MString axis = flags.arg("-ax").toLowerCase();
    if (axis != "y" && axis != "z") {
        MGlobal::displayError(MString("upAxis: -axis takes y or z, not \"") + flags.arg("-ax") + "\".");
        return MS::kInvalidParameter;
    }
    setUpAxis(axis.asChar()[0]);
    scheduleRefreshAll();
    return MS::kSuccess;
}

MStatus ToggleAxisCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("toggleAxis", args, kToggleAxisFlags);
    if (!status)
        return status;
    if (!flags.isSet("-v")) {
        MGlobal::displayError("toggleAxis: give -view.");
        return MS::kInvalidParameter;
    }
    if (flags.isQuery()) {
        setResult(viewPreferences().viewAxis);
        return MS::kSuccess;
    }
    viewPreferences().viewAxis = flags.boolValue("-v", true);
    scheduleRefreshAll();
    return MS::kSuccess;
}

MStatus DisplayPrefCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = flags.parse("displayPref", args, kDisplayPrefFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        if (!flags.isSet("-dgr")) {
            MGlobal::displayError("displayPref: give the flag to query.");
            return MS::kInvalidParameter;
        }
        setResult(viewPreferences().gradient);
        return MS::kSuccess;
    }
    if (flags.isSet("-dgr")) {
        viewPreferences().gradient = flags.boolValue("-dgr", true);
        scheduleRefreshAll();
    }
    return MS::kSuccess;
}

} // namespace host
