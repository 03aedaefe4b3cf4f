#pragma once
// "pellixDataBind": binds patch meshes to a driver mesh and stores them on a "pellixDataOverlay" shape.

#include <maya/MApiNamespace.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class PellixDataBindCommand : public MPxCommand
{
public:
    PellixDataBindCommand();
    ~PellixDataBindCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;

    static const MString commandName;
};
