#pragma once
// commandPort -n ":PORT" [-sourceType "mel"] [-echoOutput] [-noreturn]
// commandPort -n ":PORT" -cl;  commandPort -q -n ":PORT";  commandPort -lp
// Opens or closes a command port on the loopback address (see CommandPort.h).

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class CommandPortCommand : public MPxCommand
{
public:
    static void* creator() { return new CommandPortCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
