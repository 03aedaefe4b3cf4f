#pragma once
// deleteUI [-menu | -menuItem] NAME...: removes menus and items (with everything
// below them). Every name must exist (and be of the flag's kind) before any goes.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class DeleteUICommand : public MPxCommand
{
public:
    static void* creator() { return new DeleteUICommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
