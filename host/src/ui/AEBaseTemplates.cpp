#include "ui/AEBaseTemplates.h"

#include "commands/CommandRegistry.h"

#include <maya/MArgList.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>

#include <utility>

namespace host {

namespace {

struct BaseTemplate
{
    const char* name;
    const char* mel;
};

const BaseTemplate kBaseTemplates[] = {
    {"AEdependNodeTemplate",
     "editorTemplate -beginLayout \"Node Behavior\" -collapse 1;"
     "editorTemplate -label \"Caching\" -addControl \"caching\";"
     "editorTemplate -label \"Frozen\" -addControl \"frozen\";"
     "editorTemplate -label \"Node State\" -addControl \"nodeState\";"
     "editorTemplate -endLayout;"
     "editorTemplate -suppress \"message\";"
     "editorTemplate -suppress \"isHistoricallyInteresting\";"},
    {"AEdagNodeInclude",
     "editorTemplate -beginLayout \"Object Display\" -collapse 1;"
     "editorTemplate -label \"Visibility\" -addControl \"visibility\";"
     "editorTemplate -label \"Template\" -addControl \"template\";"
     "editorTemplate -label \"LOD Visibility\" -addControl \"lodVisibility\";"
     "editorTemplate -label \"Intermediate Object\" -addControl \"intermediateObject\";"
     "editorTemplate -label \"Hidden In Outliner\" -addControl \"hiddenInOutliner\";"
     "editorTemplate -beginLayout \"Drawing Overrides\" -collapse 1;"
     "editorTemplate -label \"Enable Overrides\" -addControl \"overrideEnabled\";"
     "editorTemplate -label \"Display Type\" -addControl \"overrideDisplayType\";"
     "editorTemplate -label \"Level of Detail\" -addControl \"overrideLevelOfDetail\";"
     "editorTemplate -label \"Shading\" -addControl \"overrideShading\";"
     "editorTemplate -label \"Texturing\" -addControl \"overrideTexturing\";"
     "editorTemplate -label \"Playback\" -addControl \"overridePlayback\";"
     "editorTemplate -label \"Visible\" -addControl \"overrideVisibility\";"
     "editorTemplate -label \"Hide on Playback\" -addControl \"hideOnPlayback\";"
     "editorTemplate -label \"Enable RGB Colors\" -addControl \"overrideRGBColors\";"
     "editorTemplate -label \"Color\" -addControl \"overrideColor\";"
     "editorTemplate -label \"Color RGB\" -addControl \"overrideColorRGB\";"
     "editorTemplate -endLayout;"
     "editorTemplate -endLayout;"
     "editorTemplate -suppress \"overrideColorA\";"
     "editorTemplate -suppress \"useObjectColor\";"
     "editorTemplate -suppress \"objectColor\";"
     "editorTemplate -suppress \"wireColorRGB\";"
     "editorTemplate -suppress \"instObjGroups\";"
     "editorTemplate -suppress \"offsetParentMatrix\";"
     "editorTemplate -suppress \"parentMatrix\";"
     "editorTemplate -suppress \"parentInverseMatrix\";"
     "editorTemplate -suppress \"worldMatrix\";"
     "editorTemplate -suppress \"worldInverseMatrix\";"},
    {"AEshapeTemplate",
     "AEdagNodeInclude $nodeName;"
     "AEdependNodeTemplate $nodeName;"},
    {"AElocatorInclude",
     "editorTemplate -beginLayout \"Locator Attributes\" -collapse 0;"
     "editorTemplate -label \"Local Position\" -addControl \"localPosition\";"
     "editorTemplate -label \"Local Scale\" -addControl \"localScale\";"
     "editorTemplate -endLayout;"
     "editorTemplate -suppress \"worldPosition\";"
     "editorTemplate -suppress \"underWorldObject\";"
     "editorTemplate -suppress \"center\";"
     "editorTemplate -suppress \"nodeBoundingBox\";"},
    {"AEgeometryFilterCommon",
     "editorTemplate -label \"Envelope\" -addControl \"envelope\";"
     "editorTemplate -suppress \"input\";"
     "editorTemplate -suppress \"originalGeometry\";"
     "editorTemplate -suppress \"outputGeometry\";"
     "editorTemplate -suppress \"weightList\";"},
};

// Runs one base template's requests with $nodeName set, as its MEL procedure would.
template <size_t Index>
class BaseTemplateCommand : public MPxCommand
{
public:
    static void* creator() { return new BaseTemplateCommand; }
    MStatus doIt(const MArgList& args) override
    {
        const BaseTemplate& base = kBaseTemplates[Index];
        if (args.length() != 1) {
            MGlobal::displayError(MString("Wrong number of arguments on call to ") + base.name + ".");
            return MS::kInvalidParameter;
        }
        MString nodeName = args.asString(0);
        MString quoted;
        for (unsigned i = 0; i < nodeName.length(); ++i) {
            const char c = nodeName.asChar()[i];
            if (c == '"' || c == '\\')
                quoted += "\\";
            quoted += MString(&c, 1);
        }
        const MString script = MString("{ string $nodeName = \"") + quoted + "\"; " + base.mel + " }";
        return MGlobal::executeCommand(script);
    }
};

template <size_t... Index>
void registerAll(std::index_sequence<Index...>)
{
    const MCreatorFunction creators[] = {&BaseTemplateCommand<Index>::creator...};
    for (size_t k = 0; k < sizeof...(Index); ++k) {
        MStatus status = registerBuiltinCommand(kBaseTemplates[k].name, creators[k], nullptr);
        CHECK_MSTATUS(status);
    }
}

} // namespace

void registerBaseTemplateProcedures()
{
    registerAll(std::make_index_sequence<sizeof(kBaseTemplates) / sizeof(kBaseTemplates[0])>());
}

} // namespace host
