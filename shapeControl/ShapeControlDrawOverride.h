#pragma once
// Viewport 2.0 drawing of "shapeControl" shapes. Drawing arrives with the shape-control
// drawing work; until then the override is registered and draws nothing.

#include <maya/MApiNamespace.h>
#include <maya/MPxDrawOverride.h>

class ShapeControlDrawOverride : public MHWRender::MPxDrawOverride
{
public:
    static MHWRender::MPxDrawOverride* creator(const MObject& obj);
    ~ShapeControlDrawOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override;

private:
    explicit ShapeControlDrawOverride(const MObject& obj);
};
