#pragma once
// "surfacePinBind": pins transform controls to a mesh through a "surfacePin" node.

#include <maya/MApiNamespace.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class SurfacePinBindCommand : public MPxCommand
{
public:
    SurfacePinBindCommand();
    ~SurfacePinBindCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;

    static const MString commandName;
};
