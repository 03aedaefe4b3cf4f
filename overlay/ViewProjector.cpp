#include "overlay/ViewProjector.h"

#include <maya/M3dView.h>
#include <maya/MPoint.h>
#include <maya/MVector.h>

#include <cmath>
#include <limits>

bool ViewProjector::project(const double world[3], double pixel[2]) const
{
    short x = 0;
    short y = 0;
    if (!view_.worldToView(MPoint(world[0], world[1], world[2]), x, y)) {
        return false;
    }
    pixel[0] = x / ratio_;
    pixel[1] = (portHeight_ - y) / ratio_;
    return true;
}

bool ViewProjector::window(const double pixel[2], double radius, PatchPick::ScreenWindow& window) const
{
    const double reach = radius * ratio_ + 2.0;
    const double x = pixel[0] * ratio_;
    const double y = portHeight_ - pixel[1] * ratio_;
    const double corners[4][2] = {{std::floor(x - reach), std::floor(y - reach)},
                                  {std::ceil(x + reach), std::floor(y - reach)},
                                  {std::ceil(x + reach), std::ceil(y + reach)},
                                  {std::floor(x - reach), std::ceil(y + reach)}};
    MPoint near[4];
    MVector along[4];
    for (int c = 0; c < 4; ++c) {
        const double limit = std::numeric_limits<short>::max();
        if (!(std::fabs(corners[c][0]) <= limit && std::fabs(corners[c][1]) <= limit) ||
            !view_.viewToWorld(short(corners[c][0]), short(corners[c][1]), near[c], along[c])) {
            return false;
        }
    }
    // Side c passes through the rays at corners c and c + 1; the opposite corner is inside.
    for (int c = 0; c < 4; ++c) {
        const MPoint& from = near[c];
        MVector normal = (near[(c + 1) % 4] - from) ^ along[c];
        const MPoint& inside = near[(c + 2) % 4];
        if (normal * (inside - from) < 0.0) {
            normal = -normal;
        }
        if (!(normal.length() > 0.0)) {
            return false;
        }
        window.sides[c][0] = normal.x;
        window.sides[c][1] = normal.y;
        window.sides[c][2] = normal.z;
        window.sides[c][3] = -(normal * MVector(from));
    }
    // In front: beyond the near clip plane, through the corners' near points.
    MVector front = (near[1] - near[0]) ^ (near[3] - near[0]);
    if (front * along[0] < 0.0) {
        front = -front;
    }
    if (!(front.length() > 0.0)) {
        return false;
    }
    window.front[0] = front.x;
    window.front[1] = front.y;
    window.front[2] = front.z;
    window.front[3] = -(front * MVector(near[0]));
    return true;
}
