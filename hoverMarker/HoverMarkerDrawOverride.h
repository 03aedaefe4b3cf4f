#pragma once
// Viewport 2.0 drawing of the hover-marker ring. The ring drawing arrives with the hover
// marker work; until then the override is registered and draws nothing.

#include <maya/MApiNamespace.h>
#include <maya/MPxDrawOverride.h>

class HoverMarkerDrawOverride : public MHWRender::MPxDrawOverride
{
public:
    static MHWRender::MPxDrawOverride* creator(const MObject& obj);
    ~HoverMarkerDrawOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override;

private:
    explicit HoverMarkerDrawOverride(const MObject& obj);
};
