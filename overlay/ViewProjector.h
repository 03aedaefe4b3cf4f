#pragma once
// World points to a view's logical pixels (y down), as the mouse reports them, and the world
// region around the mouse that projects near it, so that screen tests of large meshes project
// only their triangles there.

#include "overlay/PatchPickData.h"

#include <maya/MApiNamespace.h>

class ViewProjector : public PatchPick::ScreenProjector
{
public:
    ViewProjector(M3dView& view, double ratio, double portHeight)
        : view_(view), ratio_(ratio), portHeight_(portHeight)
    {
    }

    bool project(const double world[3], double pixel[2]) const override;

    // The planes through the view rays at the corners of a port square around the mouse. The
    // square reaches beyond `radius` by the whole pixel that worldToView rounds to, and more.
    bool window(const double pixel[2], double radius, PatchPick::ScreenWindow& window) const override;

private:
    M3dView& view_;
    double ratio_;
    double portHeight_;
};
