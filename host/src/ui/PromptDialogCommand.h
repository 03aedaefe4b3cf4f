#pragma once
// promptDialog: a modal dialog with a message, one text field and buttons; answers
// the label of the button pressed (-dismissString when closed otherwise).
// `promptDialog -query -text` gives what the field held when it closed.
// Needs the main window.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class PromptDialogCommand : public MPxCommand
{
public:
    static void* creator() { return new PromptDialogCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
