#include "ui/UiFlags.h"

#include <map>
#include <vector>

namespace host {

MStatus parseUiFlags(CommandFlags& flags, const char* command, const MArgList& args,
                     const CommandFlags::Definition* definitions, size_t count)
{
    bool query = false;
    for (unsigned i = 0; i < args.length(); ++i) {
        const MString word = args.asString(i);
        query = query || word == "-q" || word == "-query";
    }
    if (!query)
        return flags.parse(command, args, definitions, count);
    // CommandFlags keeps pointers into the table: one query copy per command's table, kept.
    static std::map<const CommandFlags::Definition*, std::vector<CommandFlags::Definition>> queryTables;
    std::vector<CommandFlags::Definition>& queryTable = queryTables[definitions];
    if (queryTable.empty()) {
        queryTable.assign(definitions, definitions + count);
        for (CommandFlags::Definition& definition : queryTable)
            definition.arity = CommandFlags::kNoArg;
    }
    return flags.parse(command, args, queryTable.data(), queryTable.size());
}

} // namespace host
