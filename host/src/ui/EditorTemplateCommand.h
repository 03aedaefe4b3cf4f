#pragma once
// editorTemplate: the Attribute Editor's template command. The host has no Attribute Editor,
// so each request is checked (flags, arguments, nesting of layouts) and recorded in
// EditorTemplateRecord. hostEditorTemplateRecord (a host test facility Maya does not have)
// reads the record back or clears it.

#include <maya/MArgList.h>
#include <maya/MPxCommand.h>

namespace host {

class EditorTemplateCommand : public MPxCommand
{
public:
    static void* creator() { return new EditorTemplateCommand; }
    MStatus doIt(const MArgList& args) override;
};

class HostEditorTemplateRecordCommand : public MPxCommand
{
public:
    static void* creator() { return new HostEditorTemplateRecordCommand; }
    MStatus doIt(const MArgList& args) override;
};

// Registers editorTemplate, hostEditorTemplateRecord and the base template procedures of
// AEBaseTemplates.h.
void registerEditorTemplateCommands();

} // namespace host
