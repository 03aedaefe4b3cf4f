#include "commands/ModulePaths.h"

#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace host {

namespace {

const char kPathSeparator = ':';
// Larger files in a module folder are not module files; reading them would only cost.
const std::uintmax_t kLargestModuleFile = 1 << 20;

std::string trimmed(const std::string& text)
{
    size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    size_t last = text.size();
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1])))
        --last;
    return text.substr(first, last - first);
}

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> splitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream stream(text);
    std::string word;
    while (stream >> word)
        words.push_back(word);
    return words;
}

// `sub` inside `folder`, unless it is absolute; an empty `sub` is the folder itself.
std::string joined(const std::string& folder, const std::string& sub)
{
    if (sub.empty())
        return folder;
    const fs::path path(sub);
    const fs::path result = path.is_absolute() ? path : fs::path(folder) / path;
    std::string text = result.lexically_normal().string();
    if (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool isFolder(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

// The folders a conventional module folder adds: itself, and with [r] every
// subfolder below it except hidden ones.
std::vector<std::string> foldersOf(const std::string& folder, bool recursive)
{
    std::vector<std::string> folders{folder};
    if (!recursive)
        return folders;
    std::vector<std::string> below;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
    for (; !error && it != end; it.increment(error)) {
        const std::string leaf = it->path().filename().string();
        std::error_code typeError;
        if (!it->is_directory(typeError))
            continue;
        if (!leaf.empty() && leaf[0] == '.') {
            it.disable_recursion_pending();
            continue;
        }
        below.push_back(it->path().lexically_normal().string());
    }
    std::sort(below.begin(), below.end());
    folders.insert(folders.end(), below.begin(), below.end());
    return folders;
}

struct ConventionalFolder
{
    const char* name;
    std::vector<const char*> variables;
};

const std::vector<ConventionalFolder>& conventionalFolders()
{
    static const std::vector<ConventionalFolder> folders = {
        {"plug-ins", {"MAYA_PLUG_IN_PATH"}},
        {"scripts", {"MAYA_SCRIPT_PATH", "PYTHONPATH"}},
        {"icons", {"XBMLANGPATH"}},
        {"presets", {"MAYA_PRESET_PATH"}},
    };
    return folders;
}

struct FolderOverride
{
    std::string location;  // relative to the module folder, as written
    bool recursive = false;
};

// One module while its lines are read.
struct PendingModule
{
    ModuleDescription description;
    bool active = false;  // enabled, matching and its folder present
    FolderOverride overrides[4];
    bool overridden[4] = {false, false, false, false};
};

void finish(PendingModule& module, std::vector<ModuleDescription>& modules)
{
    if (!module.active)
        return;
    const auto& conventional = conventionalFolders();
    for (size_t i = 0; i < conventional.size(); ++i) {
        const FolderOverride& override = module.overrides[i];
        const std::string folder =
            joined(module.description.folder, module.overridden[i] ? override.location : conventional[i].name);
        if (!isFolder(folder))
            continue;
        for (const std::string& each : foldersOf(folder, override.recursive))
            for (const char* variable : conventional[i].variables) {
                // Maya's icon search path names files by a pattern: %B is the file's name.
                const bool icons = std::string(variable) == "XBMLANGPATH";
                module.description.edits.push_back({variable, icons ? each + "/%B" : each, true});
            }
    }
    modules.push_back(std::move(module.description));
    module = PendingModule();
}

bool conditionHolds(const std::string& key, const std::string& value, const ModuleConditions& conditions)
{
    if (sameIgnoringCase(key, "MAYAVERSION"))
        return value == conditions.mayaVersion;
    if (sameIgnoringCase(key, "PLATFORM"))
        return sameIgnoringCase(value, conditions.platform);
    return sameIgnoringCase(value, conditions.locale);
}

bool isConditionWord(const std::string& word, std::string& key, std::string& value)
{
    const size_t colon = word.find(':');
    if (colon == std::string::npos)
        return false;
    key = word.substr(0, colon);
    value = word.substr(colon + 1);
    return sameIgnoringCase(key, "MAYAVERSION") || sameIgnoringCase(key, "PLATFORM") || sameIgnoringCase(key, "LOCALE");
}

std::string where(const std::string& definitionPath, int lineNumber)
{
    return definitionPath + " line " + std::to_string(lineNumber);
}

// "+ [conditions] NAME VERSION PATH": starts `module` (inactive when disabled,
// not matching or without its folder).
void readHeader(const std::string& line, int lineNumber, const std::string& definitionPath,
                const ModuleConditions& conditions, PendingModule& module, std::vector<std::string>& warnings)
{
    const bool enabled = line[0] == '+';
    std::vector<std::string> words = splitWords(line.substr(1));
    size_t next = 0;
    bool matches = true;
    std::string key, value;
    while (next < words.size() && isConditionWord(words[next], key, value)) {
        matches = matches && conditionHolds(key, value, conditions);
        ++next;
    }
    if (words.size() < next + 3) {
        warnings.push_back("Module description at " + where(definitionPath, lineNumber) +
                           " needs a name, a version and a path: \"" + line + "\"");
        return;
    }
    // The path is the rest of the line, so it may hold spaces.
    std::string rest = trimmed(line.substr(1));
    for (size_t i = 0; i < next + 2; ++i) {
        rest = trimmed(rest);
        rest = rest.substr(std::min(rest.size(), rest.find_first_of(" \t")));
    }
    const std::string definitionFolder = fs::path(definitionPath).parent_path().string();
    module.description.name = words[next];
    module.description.version = words[next + 1];
    module.description.folder = joined(definitionFolder, trimmed(rest));
    module.description.definition = definitionPath;
    if (!enabled || !matches)
        return;
    if (!isFolder(module.description.folder)) {
        warnings.push_back("Module \"" + module.description.name + "\" (" + where(definitionPath, lineNumber) +
                           "): its folder " + module.description.folder + " does not exist; module skipped.");
        return;
    }
    module.active = true;
}

// A line inside an active module: a variable edit or a folder override.
void readModuleLine(std::string line, int lineNumber, const std::string& definitionPath, PendingModule& module,
                    std::vector<std::string>& warnings)
{
    bool recursive = false;
    if (line.compare(0, 3, "[r]") == 0 || line.compare(0, 3, "[R]") == 0) {
        recursive = true;
        line = trimmed(line.substr(3));
    }
    const auto& conventional = conventionalFolders();
    for (size_t i = 0; i < conventional.size(); ++i) {
        const std::string prefix = std::string(conventional[i].name) + ":";
        if (line.compare(0, prefix.size(), prefix) == 0 && line.compare(prefix.size(), 1, "=") != 0) {
            module.overrides[i] = {trimmed(line.substr(prefix.size())), recursive};
            module.overridden[i] = true;
            return;
        }
    }
    const size_t equals = line.find('=');
    size_t nameEnd = equals;
    bool relative = false, append = false;
    if (equals != std::string::npos && nameEnd > 0 && line[nameEnd - 1] == ':') {
        relative = true;
        --nameEnd;
    }
    if (equals != std::string::npos && nameEnd > 0 && line[nameEnd - 1] == '+') {
        append = true;
        --nameEnd;
    }
    const std::string variable = equals == std::string::npos ? std::string() : trimmed(line.substr(0, nameEnd));
    if (recursive || variable.empty() || variable.find_first_of(" \t") != std::string::npos) {
        warnings.push_back("Cannot read the line at " + where(definitionPath, lineNumber) + " of module \"" +
                           module.description.name + "\": \"" + line + "\"");
        return;
    }
    const std::string value = trimmed(line.substr(equals + 1));
    module.description.edits.push_back(
        {variable, relative ? joined(module.description.folder, value) : value, append});
}

std::vector<std::string> pathElements(const std::string& path)
{
    std::vector<std::string> elements;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(kPathSeparator, start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            elements.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return elements;
}

void applyEdit(const ModuleEnvironmentEdit& edit)
{
    const char* current = std::getenv(edit.variable.c_str());
    if (!edit.append || !current || !*current) {
        ::setenv(edit.variable.c_str(), edit.value.c_str(), 1);
        return;
    }
    const std::vector<std::string> elements = pathElements(current);
    if (std::find(elements.begin(), elements.end(), edit.value) != elements.end())
        return;
    ::setenv(edit.variable.c_str(), (std::string(current) + kPathSeparator + edit.value).c_str(), 1);
}

std::vector<ModuleDescription>& modules()
{
    static std::vector<ModuleDescription> list;
    return list;
}

std::vector<std::string> moduleFilesIn(const std::string& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator it(folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        const std::string leaf = it->path().filename().string();
        std::error_code typeError;
        if (leaf.empty() || leaf[0] == '.' || !it->is_regular_file(typeError))
            continue;
        std::error_code sizeError;
        if (it->file_size(sizeError) > kLargestModuleFile || sizeError)
            continue;
        files.push_back(it->path().lexically_normal().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

std::vector<ModuleDescription> parseModuleFile(const std::string& text, const std::string& definitionPath,
                                               const ModuleConditions& conditions,
                                               std::vector<std::string>& warnings)
{
    std::vector<ModuleDescription> found;
    PendingModule module;
    bool inModule = false;
    std::istringstream lines(text);
    std::string raw;
    int lineNumber = 0;
    while (std::getline(lines, raw)) {
        ++lineNumber;
        const std::string line = trimmed(raw);
        if (line.empty() || line[0] == '#' || line.compare(0, 2, "//") == 0)
            continue;
        if (line[0] == '+' || line[0] == '-') {
            finish(module, found);
            module = PendingModule();
            inModule = true;
            readHeader(line, lineNumber, definitionPath, conditions, module, warnings);
            continue;
        }
        // Lines before any module, and those of a skipped one, are not read.
        if (inModule && module.active)
            readModuleLine(line, lineNumber, definitionPath, module, warnings);
    }
    finish(module, found);
    return found;
}

void loadModulesFromEnvironment()
{
    modules().clear();
    const char* searchPath = std::getenv("MAYA_MODULE_PATH");
    if (!searchPath)
        return;
    const ModuleConditions conditions;
    for (const std::string& folder : pathElements(searchPath)) {
        for (const std::string& file : moduleFilesIn(folder)) {
            std::ifstream stream(file, std::ios::binary);
            if (!stream)
                continue;
            std::ostringstream text;
            text << stream.rdbuf();
            std::vector<std::string> warnings;
            std::vector<ModuleDescription> found = parseModuleFile(text.str(), file, conditions, warnings);
            for (const std::string& warning : warnings)
                MGlobal::displayWarning(warning.c_str());
            for (ModuleDescription& module : found) {
                if (findModule(module.name))
                    continue;  // the first module of a name wins
                for (const ModuleEnvironmentEdit& edit : module.edits)
                    applyEdit(edit);
                modules().push_back(std::move(module));
            }
        }
    }
}

const std::vector<ModuleDescription>& loadedModules()
{
    return modules();
}

const ModuleDescription* findModule(const std::string& name)
{
    for (const ModuleDescription& module : modules())
        if (module.name == name)
            return &module;
    return nullptr;
}

} // namespace host
