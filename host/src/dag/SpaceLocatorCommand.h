#pragma once
// `spaceLocator [-p x y z] [-n name]`: a transform and a "locator" shape
// ("locator1", "locatorShape1"; -n gives "<name>" and "<name>Shape"), the
// position going into the shape's "localPosition". Selects and returns the
// transform.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>
#include <maya/MObject.h>

namespace host {

class SpaceLocatorCommand : public ModifierCommand
{
public:
    static void* creator() { return new SpaceLocatorCommand; }
    MStatus doIt(const MArgList& args) override;

};

} // namespace host
