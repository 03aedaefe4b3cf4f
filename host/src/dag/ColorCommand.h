#pragma once
// `color [-rgbColor r g b | -userDefined n] [objects]`: the dormant wireframe colour of
// the named (or selected) objects: an RGB colour ("useObjectColor" 2, "wireColorRGB"),
// a user colour 1..8 ("useObjectColor" 1, "objectColor" n - 1), or, with neither flag,
// the colour of their kind again. Undoable.

#include "commands/builtins/ModifierCommand.h"

#include <maya/MArgList.h>

namespace host {

class ColorCommand : public ModifierCommand
{
public:
    static void* creator() { return new ColorCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
