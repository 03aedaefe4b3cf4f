#pragma once
// Command ports: TCP sockets on the loopback address through which another
// process sends MEL to this session and reads the results, as with Maya's
// commandPort. Each chunk a client writes runs as MEL; the client receives
// the result of the last statement (array elements separated by tabs), a
// newline and a NUL byte. A failing command answers with its error messages.
// The sockets are watched by the Qt event loop, so commands run on the main
// thread between events, as a person's would.

#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <string>

namespace host {

struct CommandPortOptions
{
    bool echoOutput = false; // every message the commands write goes to the client too
    bool noReturn = false;   // nothing goes back to the client
};

// Opens the port named ":PORT" (or "localhost:PORT", "127.0.0.1:PORT"). Fails
// with `error` set to the reason in brackets Maya gives ("port is already in use").
MStatus openCommandPort(const MString& name, const CommandPortOptions& options, std::string& error);
// Closes a port and its client connections. Fails when no such port is open.
MStatus closeCommandPort(const MString& name);
bool commandPortOpen(const MString& name);
// The names of the open ports, as they were opened.
MStringArray commandPortNames();
void closeAllCommandPorts();

} // namespace host
