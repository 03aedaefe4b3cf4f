#pragma once
// "vertexWrap": puts a "vertexWrap" deformer on target meshes that follow a driver mesh.

#include <maya/MApiNamespace.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class VertexWrapCommand : public MPxCommand
{
public:
    VertexWrapCommand();
    ~VertexWrapCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;

    static const MString commandName;
};
