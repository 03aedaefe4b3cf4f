#pragma once
// The commands that report Maya modules (see commands/ModulePaths.h):
//   moduleInfo -listModules                      names of the modules loaded at start-up
//   moduleInfo -moduleName NAME -path/-version/-definition
//   getModulePath -moduleName NAME               the module's folder
// and getenv NAME, the value of an environment variable ("" when unset).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>
#include <maya/MSyntax.h>

namespace host {

class ModuleInfoCommand : public MPxCommand
{
public:
    static void* creator() { return new ModuleInfoCommand; }
    static MSyntax newSyntax();
    MStatus doIt(const MArgList& args) override;
};

class GetModulePathCommand : public MPxCommand
{
public:
    static void* creator() { return new GetModulePathCommand; }
    static MSyntax newSyntax();
    MStatus doIt(const MArgList& args) override;
};

class GetenvCommand : public MPxCommand
{
public:
    static void* creator() { return new GetenvCommand; }
    MStatus doIt(const MArgList& args) override;
};

void registerModuleCommands();

} // namespace host
