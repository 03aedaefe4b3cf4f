#pragma once
// Maya modules: at start-up the host reads every module file in the folders of
// MAYA_MODULE_PATH and, for each enabled module that matches this host (Maya 2023,
// linux), adds its folders and variables to the environment before any plug-in
// loads, so that `loadPlugin NAME`, `source` and procedure lookup find the
// module's plug-ins and scripts.
//
// A module file holds one or more modules, each a header line
//     + [MAYAVERSION:2023] [PLATFORM:linux] [LOCALE:en_US] NAME VERSION PATH
// ("-" instead of "+" disables it; PATH is relative to the module file's folder)
// followed by lines of
//     VAR=value  VAR+=value        set / append a value as written
//     VAR:=sub   VAR+:=sub         set / append the module folder joined with sub
//     [r] scripts: sub             move a conventional folder (plug-ins, scripts,
//                                  icons, presets); [r] adds its subfolders as well
// The conventional folders that exist are appended: plug-ins to MAYA_PLUG_IN_PATH,
// scripts to MAYA_SCRIPT_PATH and PYTHONPATH, icons to XBMLANGPATH, presets to
// MAYA_PRESET_PATH.

#include <string>
#include <vector>

namespace host {

struct ModuleEnvironmentEdit
{
    std::string variable;
    std::string value;
    bool append = false;
};

struct ModuleDescription
{
    std::string name;
    std::string version;
    std::string folder;      // absolute, lexically normal
    std::string definition;  // the module file it came from
    std::vector<ModuleEnvironmentEdit> edits;  // in the order they apply
};

struct ModuleConditions
{
    std::string mayaVersion = "2023";
    std::string platform = "linux";
    std::string locale = "en_US";
};

// The modules of one module file that are enabled and match `conditions`, with
// their edits resolved (conventional folders included when they exist). Problems
// (a malformed line, a missing module folder) are appended to `warnings` and the
// rest of the file still counts.
std::vector<ModuleDescription> parseModuleFile(const std::string& text, const std::string& definitionPath,
                                               const ModuleConditions& conditions,
                                               std::vector<std::string>& warnings);

// Reads MAYA_MODULE_PATH's folders (each file in name order; the first module of a
// name wins) and applies the modules' edits to the environment. Warnings go to the
// script output. Calling it again rescans from the current environment.
void loadModulesFromEnvironment();

// Modules applied so far, in the order they were found.
const std::vector<ModuleDescription>& loadedModules();
const ModuleDescription* findModule(const std::string& name);

} // namespace host
