#include <maya/MFnManip3D.h>

namespace
{

// The manipulator preferences of the session, at Maya's defaults.
struct ManipPreferences
{
    float globalSize = 1.0f;
    float handleSize = 10.0f;
    float lineSize = 1.0f;
    bool drawPlaneHandles = true;
};

ManipPreferences& preferences()
{
    static ManipPreferences p;
    return p;
}

} // namespace

float MFnManip3D::globalSize()
{
    return preferences().globalSize;
}

void MFnManip3D::setGlobalSize(float size)
{
    if (size > 0.0f) preferences().globalSize = size;
}

float MFnManip3D::handleSize()
{
    return preferences().handleSize;
}

void MFnManip3D::setHandleSize(float size)
{
    if (size > 0.0f) preferences().handleSize = size;
}

float MFnManip3D::lineSize()
{
    return preferences().lineSize;
}

void MFnManip3D::setLineSize(float size)
{
    if (size > 0.0f) preferences().lineSize = size;
}

bool MFnManip3D::drawPlaneHandles()
{
    return preferences().drawPlaneHandles;
}

void MFnManip3D::setDrawPlaneHandles(bool drawPlaneHandles)
{
    preferences().drawPlaneHandles = drawPlaneHandles;
}
