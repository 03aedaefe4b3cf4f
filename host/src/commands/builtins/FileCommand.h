#pragma once
// file: -new, -open (the file is the object), -save (-type "mayaAscii"),
// -rename, and -query -sceneName.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class FileCommand : public MPxCommand
{
public:
    static void* creator() { return new FileCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
