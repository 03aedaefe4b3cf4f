#include "hoverMarker/HoverMarkerDrawOverride.h"

MHWRender::MPxDrawOverride* HoverMarkerDrawOverride::creator(const MObject& obj)
{
    return new HoverMarkerDrawOverride(obj);
}

// No draw callback, and always dirty: the marker's state lives outside the scene graph.
HoverMarkerDrawOverride::HoverMarkerDrawOverride(const MObject& obj)
    : MHWRender::MPxDrawOverride(obj, nullptr, true)
{
}

HoverMarkerDrawOverride::~HoverMarkerDrawOverride() = default;

MHWRender::DrawAPI HoverMarkerDrawOverride::supportedDrawAPIs() const
{
    return MHWRender::kAllDevices;
}

MUserData* HoverMarkerDrawOverride::prepareForDraw(const MDagPath&, const MDagPath&,
                                                   const MHWRender::MFrameContext&, MUserData* oldData)
{
    // Nothing is drawn yet, so there is no draw data to build; hand back what the renderer holds.
    return oldData;
}
