#pragma once
// "surfaceUVPinBind": pins transform controls to a mesh by UV through a "surfaceUVPin" node.

#include <maya/MApiNamespace.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class SurfaceUVPinBindCommand : public MPxCommand
{
public:
    SurfaceUVPinBindCommand();
    ~SurfaceUVPinBindCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;

    static const MString commandName;
};
