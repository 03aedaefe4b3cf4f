#include "commands/builtins/PrintCommand.h"

#include "commands/MessageOutput.h"

#include <maya/MArgList.h>

namespace host {

MStatus PrintCommand::doIt(const MArgList& args)
{
    // Several arguments (an array) print one per line, as MEL prints arrays.
    const unsigned n = args.length();
    if (n == 1) {
        writeMessage(MessageKind::kPrint, args.asString(0));
        return MS::kSuccess;
    }
    MString text;
    for (unsigned i = 0; i < n; ++i) {
        text += args.asString(i);
        text += "\n";
    }
    writeMessage(MessageKind::kPrint, text);
    return MS::kSuccess;
}

} // namespace host
