#include "commands/ModuleCommands.h"

#include "commands/CommandRegistry.h"
#include "commands/ModulePaths.h"

#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>

#include <cstdlib>

namespace host {

namespace {

// The module the -moduleName flag names, or null after reporting why not.
const ModuleDescription* namedModule(const char* command, const MArgDatabase& db)
{
    if (!db.isFlagSet("-mn")) {
        MGlobal::displayError(MString(command) + ": name the module with -moduleName.");
        return nullptr;
    }
    MString name;
    db.getFlagArgument("-mn", 0, name);
    const ModuleDescription* module = findModule(name.asChar());
    if (!module)
        MGlobal::displayError(MString(command) + ": no module named \"" + name + "\" is loaded.");
    return module;
}

} // namespace

MSyntax ModuleInfoCommand::newSyntax()
{
    MSyntax syntax;
    syntax.addFlag("-lm", "-listModules");
    syntax.addFlag("-mn", "-moduleName", MSyntax::kString);
    syntax.addFlag("-p", "-path");
    syntax.addFlag("-v", "-version");
    syntax.addFlag("-d", "-definition");
    return syntax;
}

MStatus ModuleInfoCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase db(syntax(), args, &status);
    if (!status)
        return status;
    if (db.isFlagSet("-lm")) {
        MStringArray names;
        for (const ModuleDescription& module : loadedModules())
            names.append(module.name.c_str());
        setResult(names);
        return MS::kSuccess;
    }
    const int asked = int(db.isFlagSet("-p")) + int(db.isFlagSet("-v")) + int(db.isFlagSet("-d"));
    if (asked != 1) {
        MGlobal::displayError("moduleInfo: give -listModules, or -moduleName with one of -path, -version, -definition.");
        return MS::kInvalidParameter;
    }
    const ModuleDescription* module = namedModule("moduleInfo", db);
    if (!module)
        return MS::kNotFound;
    if (db.isFlagSet("-p"))
        setResult(MString(module->folder.c_str()));
    else if (db.isFlagSet("-v"))
        setResult(MString(module->version.c_str()));
    else
        setResult(MString(module->definition.c_str()));
    return MS::kSuccess;
}

MSyntax GetModulePathCommand::newSyntax()
{
    MSyntax syntax;
    syntax.addFlag("-mn", "-moduleName", MSyntax::kString);
    return syntax;
}

MStatus GetModulePathCommand::doIt(const MArgList& args)
{
    MStatus status;
    MArgDatabase db(syntax(), args, &status);
    if (!status)
        return status;
    const ModuleDescription* module = namedModule("getModulePath", db);
    if (!module)
        return MS::kNotFound;
    setResult(MString(module->folder.c_str()));
    return MS::kSuccess;
}

MStatus GetenvCommand::doIt(const MArgList& args)
{
    if (args.length() != 1) {
        MGlobal::displayError("getenv: expects one variable name.");
        return MS::kInvalidParameter;
    }
    const char* value = std::getenv(args.asString(0).asChar());
    setResult(MString(value ? value : ""));
    return MS::kSuccess;
}

void registerModuleCommands()
{
    CHECK_MSTATUS(registerBuiltinCommand("moduleInfo", ModuleInfoCommand::creator, ModuleInfoCommand::newSyntax));
    CHECK_MSTATUS(
        registerBuiltinCommand("getModulePath", GetModulePathCommand::creator, GetModulePathCommand::newSyntax));
    CHECK_MSTATUS(registerBuiltinCommand("getenv", GetenvCommand::creator, nullptr));
}

} // namespace host
