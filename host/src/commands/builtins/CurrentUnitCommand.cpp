#include "commands/builtins/CurrentUnitCommand.h"

#include "commands/builtins/CommandFlags.h"

#include <maya/MAngle.h>
#include <maya/MArgList.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MTime.h>

namespace host {

namespace {

const CommandFlags::Definition kFlags[] = {
    {"-l", "-linear", CommandFlags::kOneArg},   {"-a", "-angle", CommandFlags::kOneArg},
    {"-t", "-time", CommandFlags::kOneArg},     {"-q", "-query", CommandFlags::kNoArg},
    {"-f", "-fullName", CommandFlags::kNoArg},  {"-ua", "-updateAnimation", CommandFlags::kOptionalBool},
};
// Queried, the unit flags only say which unit is asked for.
const CommandFlags::Definition kQueryFlags[] = {
    {"-l", "-linear", CommandFlags::kNoArg},    {"-a", "-angle", CommandFlags::kNoArg},
    {"-t", "-time", CommandFlags::kNoArg},      {"-q", "-query", CommandFlags::kNoArg},
    {"-f", "-fullName", CommandFlags::kNoArg},  {"-ua", "-updateAnimation", CommandFlags::kOptionalBool},
};

bool isQuery(const MArgList& args)
{
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        if (word == "-q" || word == "-query")
            return true;
    }
    return false;
}

// Full name, short name, unit value.
struct UnitName
{
    const char* full;
    const char* brief;
    int unit;
};

const UnitName kLinear[] = {
    {"centimeter", "cm", MDistance::kCentimeters}, {"millimeter", "mm", MDistance::kMillimeters},
    {"meter", "m", MDistance::kMeters},            {"kilometer", "km", MDistance::kKilometers},
    {"inch", "in", MDistance::kInches},            {"foot", "ft", MDistance::kFeet},
    {"yard", "yd", MDistance::kYards},             {"mile", "mi", MDistance::kMiles},
};
const UnitName kAngular[] = {
    {"degree", "deg", MAngle::kDegrees},
    {"radian", "rad", MAngle::kRadians},
    {"minute", "min", MAngle::kAngMinutes},
    {"second", "sec", MAngle::kAngSeconds},
};
const UnitName kTime[] = {
    {"film", "film", MTime::kFilm},          {"game", "game", MTime::kGames},
    {"pal", "pal", MTime::kPALFrame},        {"ntsc", "ntsc", MTime::kNTSCFrame},
    {"show", "show", MTime::kShowScan},      {"palf", "palf", MTime::kPALField},
    {"ntscf", "ntscf", MTime::kNTSCField},   {"hour", "hour", MTime::kHours},
    {"min", "min", MTime::kMinutes},         {"sec", "sec", MTime::kSeconds},
    {"millisec", "millisec", MTime::kMilliseconds},
};

template <size_t N>
const UnitName* byName(const UnitName (&table)[N], const MString& name)
{
    for (const UnitName& entry : table)
        if (name == entry.full || name == entry.brief)
            return &entry;
    return nullptr;
}

template <size_t N>
const UnitName* byUnit(const UnitName (&table)[N], int unit)
{
    for (const UnitName& entry : table)
        if (entry.unit == unit)
            return &entry;
    return &table[0];
}

} // namespace

MString CurrentUnitCommand::statement()
{
    return MString("currentUnit -l ") + byUnit(kLinear, MDistance::uiUnit())->full + " -a " +
           byUnit(kAngular, MAngle::uiUnit())->full + " -t " + byUnit(kTime, MTime::uiUnit())->full + ";";
}

MStatus CurrentUnitCommand::doIt(const MArgList& args)
{
    CommandFlags flags;
    MStatus status = isQuery(args) ? flags.parse("currentUnit", args, kQueryFlags)
                                   : flags.parse("currentUnit", args, kFlags);
    if (!status)
        return status;
    if (flags.isQuery()) {
        const bool full = flags.isSet("-f");
        const UnitName* unit = flags.isSet("-a")   ? byUnit(kAngular, MAngle::uiUnit())
                               : flags.isSet("-t") ? byUnit(kTime, MTime::uiUnit())
                                                   : byUnit(kLinear, MDistance::uiUnit());
        setResult(MString(full ? unit->full : unit->brief));
        return MS::kSuccess;
    }
    // Check every name before changing anything.
    const UnitName* linear = flags.isSet("-l") ? byName(kLinear, flags.arg("-l")) : nullptr;
    const UnitName* angular = flags.isSet("-a") ? byName(kAngular, flags.arg("-a")) : nullptr;
    const UnitName* time = flags.isSet("-t") ? byName(kTime, flags.arg("-t")) : nullptr;
    const char* bad = (flags.isSet("-l") && !linear) ? "-l" : (flags.isSet("-a") && !angular) ? "-a"
                      : (flags.isSet("-t") && !time)  ? "-t" : nullptr;
    if (bad) {
        MGlobal::displayError(MString("currentUnit: unknown unit \"") + flags.arg(bad) + "\".");
        return MS::kInvalidParameter;
    }
    if (linear)
        MDistance::setUIUnit(static_cast<MDistance::Unit>(linear->unit));
    if (angular)
        MAngle::setUIUnit(static_cast<MAngle::Unit>(angular->unit));
    if (time)
        MTime::setUIUnit(static_cast<MTime::Unit>(time->unit));
    return MS::kSuccess;
}

} // namespace host
