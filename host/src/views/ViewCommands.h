#pragma once
// The MEL commands of the views: lookThru, viewFit, getPanel, modelEditor,
// refresh and playblast, and what they share (finding a panel by name).

#include <maya/MArgList.h>
#include <maya/MDagPath.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

// Called with the other built-in commands.
void registerViewCommands();

// Fails with "<command>: no views in batch mode." when there are no views.
MStatus requireViews(const char* command);

// The panel a name stands for (-1 and "<command>: No panel named 'x'." when none).
int panelNamed(const char* command, const MString& name);

// True when the arguments hold -q or -query (flags that take a value when
// editing take none when queried).
bool isQueryCall(const MArgList& args);

// The transform a camera shape hangs under, by its shortest unique name ("persp").
MString cameraDisplayName(const MDagPath& cameraShape);

} // namespace host
