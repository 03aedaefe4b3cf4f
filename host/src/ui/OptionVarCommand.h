#pragma once
// optionVar: named preferences that outlive scenes (kept for the process here;
// Maya writes them to its prefs at exit). -intValue/-floatValue/-stringValue
// NAME VALUE set, -query NAME reads (0 when unset), -exists NAME, -remove NAME,
// -list. Works in batch mode too.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class OptionVarCommand : public MPxCommand
{
public:
    static void* creator() { return new OptionVarCommand; }
    MStatus doIt(const MArgList& args) override;
};

} // namespace host
