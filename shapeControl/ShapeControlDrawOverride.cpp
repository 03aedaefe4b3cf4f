#include "shapeControl/ShapeControlDrawOverride.h"

MHWRender::MPxDrawOverride* ShapeControlDrawOverride::creator(const MObject& obj)
{
    return new ShapeControlDrawOverride(obj);
}

ShapeControlDrawOverride::ShapeControlDrawOverride(const MObject& obj)
    : MHWRender::MPxDrawOverride(obj, nullptr, true)
{
}

ShapeControlDrawOverride::~ShapeControlDrawOverride() = default;

MHWRender::DrawAPI ShapeControlDrawOverride::supportedDrawAPIs() const
{
    return MHWRender::kAllDevices;
}

MUserData* ShapeControlDrawOverride::prepareForDraw(const MDagPath&, const MDagPath&,
                                                    const MHWRender::MFrameContext&, MUserData* oldData)
{
    // Nothing is drawn yet, so there is no draw data to build; hand back what the renderer holds.
    return oldData;
}
