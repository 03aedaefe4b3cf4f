#pragma once
// fileInfo: the scene's information strings, kept with the scene and written
// back on save. fileInfo "key" "value" sets one; -q "key" gives its value,
// -q alone every key and value in turn; -rm "key" removes one.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class FileInfoCommand : public MPxCommand
{
public:
    static void* creator() { return new FileInfoCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
