#include "commands/scene/MayaAsciiReader.h"

#include "commands/CommandExecution.h"
#include "commands/mel/MelInterpreter.h"

#include <maya/MGlobal.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace host {

MStatus MayaAsciiReader::read(const MString& path)
{
    std::ifstream in(path.asChar(), std::ios::binary);
    if (!in) {
        MGlobal::displayError(MString("file: cannot open ") + path + ".");
        return MS::kNotFound;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    if (text.compare(0, 12, "//Maya ASCII") != 0) {
        MGlobal::displayError(path + " line 1: not a Maya ASCII scene file.");
        return MS::kFailure;
    }
    if (text.find('\0') != std::string::npos) {
        // Count lines up to the first NUL, so the error points at it.
        const size_t at = text.find('\0');
        int line = 1;
        for (size_t i = 0; i < at; ++i)
            line += text[i] == '\n';
        MGlobal::displayError(path + " line " + line + ": the file holds binary data.");
        return MS::kFailure;
    }
    // Reading a file is not an undoable action.
    CommandExecution::NoUndoScope noUndo;
    MelInterpreter::Options options;
    options.sourceName = path;
    return MelInterpreter::run(MString(text.c_str(), static_cast<int>(text.size())), options);
}

} // namespace host
