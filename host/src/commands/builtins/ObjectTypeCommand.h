#pragma once
// objectType: the type of an object; -isType tells whether it is exactly of
// a type, -isAType whether it is of a type or derives from it.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ObjectTypeCommand : public MPxCommand
{
public:
    static void* creator() { return new ObjectTypeCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
