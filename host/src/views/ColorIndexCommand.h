#pragma once
// colorIndex: the palette that drawing-override colour indices name.
// - `colorIndex -q INDEX` answers the entry's red, green and blue (0..1);
// - `colorIndex INDEX R G B` sets it; `colorIndex -rf` puts back the factory palette.
// Indices run from 1 to 31 (0 in an override means "no colour").

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ColorIndexCommand : public MPxCommand
{
public:
    static void* creator() { return new ColorIndexCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
