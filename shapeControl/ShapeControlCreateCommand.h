#pragma once
// "shapeControlCreate": bakes the selected meshes or curves into "shapeControl" shapes.

#include <maya/MApiNamespace.h>
#include <maya/MPxCommand.h>
#include <maya/MString.h>
#include <maya/MSyntax.h>

class ShapeControlCreateCommand : public MPxCommand
{
public:
    ShapeControlCreateCommand();
    ~ShapeControlCreateCommand() override;

    static void* creator();
    static MSyntax newSyntax();

    MStatus doIt(const MArgList& args) override;

    static const MString commandName;
};
