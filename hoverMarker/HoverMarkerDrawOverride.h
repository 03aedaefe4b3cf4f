#pragma once
// Viewport 2.0 drawing of the hover-marker ring: a copy of the marker state is taken for each
// draw, and the ring is drawn in x-ray at a constant radius in pixels around the hovered point.

#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MPoint.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MUserData.h>
#include <maya/MVector.h>

// One copy of the marker state, reused across frames.
class HoverMarkerData : public MUserData
{
public:
    HoverMarkerData();
    ~HoverMarkerData() override;

    bool visible = false;
    MPoint position = MPoint(0.0, 0.0, 0.0, 1.0);
    MVector normal = MVector(0.0, 0.0, 0.0);
    double screenRadius = 16.0;
    MColor color = MColor(1.0f, 0.8f, 0.2f, 1.0f);
    float lineWidth = 2.0f;
};

class HoverMarkerDrawOverride : public MHWRender::MPxDrawOverride
{
public:
    static MHWRender::MPxDrawOverride* creator(const MObject& obj);
    ~HoverMarkerDrawOverride() override;

    MHWRender::DrawAPI supportedDrawAPIs() const override;
    bool hasUIDrawables() const override;
    bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const override;
    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override;
    void addUIDrawables(const MDagPath& objPath, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext, const MUserData* data) override;

private:
    explicit HoverMarkerDrawOverride(const MObject& obj);
};
