#pragma once
// manipMoveContext, manipRotateContext and manipScaleContext: make a context
// (no -q or -e), -exists, and query (-q) and edit (-e) of a context's
// -manipVisible, -mode (Maya's numbering) and -orientAxes ("Move", "Rotate",
// "Scale" or one a script made).

#include "views/ToolContexts.h"

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

#include <vector>

namespace host {

class CommandFlags;

class ManipContextCommand : public MPxCommand
{
public:
    static void* moveCreator() { return new ManipContextCommand(ManipKind::kMove); }
    static void* rotateCreator() { return new ManipContextCommand(ManipKind::kRotate); }
    static void* scaleCreator() { return new ManipContextCommand(ManipKind::kScale); }
    MStatus doIt(const MArgList& args) override;

private:
    explicit ManipContextCommand(ManipKind kind) : fKind(kind) {}
    MStatus create(const CommandFlags& flags);
    MStatus readSettings(const CommandFlags& flags, const std::vector<MString>& angles,
                         ManipContextSettings& settings) const;
    ManipKind fKind;
};

} // namespace host
