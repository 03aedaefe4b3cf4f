#pragma once
// manipMoveContext, manipRotateContext and manipScaleContext: query (-q) and
// edit (-e) of the "Move", "Rotate" and "Scale" manipulator contexts' -manipVisible,
// -mode (Maya's numbering) and -orientAxes.

#include "views/ToolContexts.h"

#include <maya/MPxCommand.h>

namespace host {

class ManipContextCommand : public MPxCommand
{
public:
    static void* moveCreator() { return new ManipContextCommand(ManipKind::kMove); }
    static void* rotateCreator() { return new ManipContextCommand(ManipKind::kRotate); }
    static void* scaleCreator() { return new ManipContextCommand(ManipKind::kScale); }
    MStatus doIt(const MArgList& args) override;

private:
    explicit ManipContextCommand(ManipKind kind) : fKind(kind) {}
    ManipKind fKind;
};

} // namespace host
