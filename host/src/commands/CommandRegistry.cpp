#include "commands/CommandRegistry.h"

#include "commands/PluginCommands.h"

#include <cstring>
#include <map>
#include <memory>

namespace host {

// Installed by the built-in command set; absent while it is being written.
void registerBuiltinCommands() __attribute__((weak));

namespace {

struct NameOrder
{
    bool operator()(const MString& a, const MString& b) const { return std::strcmp(a.asChar(), b.asChar()) < 0; }
};

struct Registry
{
    std::map<MString, std::unique_ptr<CommandEntry>, NameOrder> entries;
    std::vector<const CommandEntry*> order;  // registration order
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

// Built-ins are registered on first use, so that every lookup and every
// plug-in registration sees them.
void ensureBuiltins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerPluginCommands();
    if (registerBuiltinCommands)
        registerBuiltinCommands();
}

MStatus addEntry(const MString& name, MCreatorFunction creator, MCreateSyntaxFunction syntaxFunction,
                 const MString& plugin)
{
    if (name.length() == 0 || !creator)
        return MS::kInvalidParameter;
    Registry& reg = registry();
    if (reg.entries.count(name))
        return MS::kFailure;
    auto entry = std::make_unique<CommandEntry>();
    entry->name = name;
    entry->creator = creator;
    entry->syntaxFunction = syntaxFunction;
    entry->plugin = plugin;
    reg.order.push_back(entry.get());
    reg.entries.emplace(name, std::move(entry));
    return MS::kSuccess;
}

} // namespace

MStatus registerBuiltinCommand(const MString& name, MCreatorFunction creator, MCreateSyntaxFunction syntaxFunction)
{
    return addEntry(name, creator, syntaxFunction, MString());
}

MStatus registerPluginCommand(const MString& name, MCreatorFunction creator, MCreateSyntaxFunction syntaxFunction,
                              const MString& plugin)
{
    ensureBuiltins();
    if (plugin.length() == 0)
        return MS::kInvalidParameter;
    return addEntry(name, creator, syntaxFunction, plugin);
}

MStatus deregisterPluginCommand(const MString& name, const MString& plugin)
{
    Registry& reg = registry();
    auto it = reg.entries.find(name);
    if (it == reg.entries.end() || plugin.length() == 0 || it->second->plugin != plugin)
        return MS::kFailure;
    for (auto o = reg.order.begin(); o != reg.order.end(); ++o)
        if (*o == it->second.get()) {
            reg.order.erase(o);
            break;
        }
    reg.entries.erase(it);
    return MS::kSuccess;
}

const CommandEntry* findCommand(const MString& name)
{
    ensureBuiltins();
    Registry& reg = registry();
    auto it = reg.entries.find(name);
    return it == reg.entries.end() ? nullptr : it->second.get();
}

std::vector<MString> commandsOfPlugin(const MString& plugin)
{
    std::vector<MString> names;
    for (const CommandEntry* entry : registry().order)
        if (entry->plugin == plugin && plugin.length())
            names.push_back(entry->name);
    return names;
}

} // namespace host
