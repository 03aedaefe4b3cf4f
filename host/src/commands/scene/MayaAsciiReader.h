#pragma once
// Reads a Maya ASCII scene: runs its statements through the MEL interpreter
// into the current scene. Errors name the file and the line; what was read
// before an error stays in the scene.

#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

class MayaAsciiReader
{
public:
    static MStatus read(const MString& path);
};

} // namespace host
