#pragma once
// modelEditor [-q|-e] -camera [CAMERA] | -displayAppearance STYLE |
// -wireframeOnShaded BOOL  PANEL: a model panel's editor settings.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class ModelEditorCommand : public MPxCommand
{
public:
    static void* creator() { return new ModelEditorCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
