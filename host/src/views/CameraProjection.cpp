#include "views/CameraProjection.h"

#include <algorithm>
#include <cmath>

namespace host {

namespace {

constexpr double kMillimetresPerInch = 25.4;

// A port of zero or undefined size projects as a square one.
double safeAspect(double aspect)
{
    return std::isfinite(aspect) && aspect > 0.0 ? aspect : 1.0;
}

double positiveOr(double value, double fallback)
{
    return std::isfinite(value) && value > 0.0 ? value : fallback;
}

} // namespace

ViewWindow viewWindow(const CameraLens& lens, double portAspect)
{
    const double aspect = safeAspect(portAspect);
    const double scale = positiveOr(lens.cameraScale, 1.0) * positiveOr(lens.overscan, 1.0);
    // Film back in the units of the view: inches over focal length for a
    // perspective camera (tangent of the half angle), world units for an
    // orthographic one, whose width is the film's width.
    double filmWidth = positiveOr(lens.horizontalFilmAperture, 1.41732) * positiveOr(lens.lensSqueezeRatio, 1.0);
    double filmHeight = positiveOr(lens.verticalFilmAperture, 0.94488);
    double unit = kMillimetresPerInch / positiveOr(lens.focalLength, 35.0);
    if (lens.orthographic) {
        const double width = positiveOr(lens.orthographicWidth, 10.0);
        unit = width / filmWidth;
    }
    filmWidth *= unit * scale;
    filmHeight *= unit * scale;

    FilmFit fit = lens.filmFit;
    const double filmAspect = filmWidth / filmHeight;
    if (fit == FilmFit::kFill)
        fit = aspect > filmAspect ? FilmFit::kHorizontal : FilmFit::kVertical;
    else if (fit == FilmFit::kOverscan)
        fit = aspect > filmAspect ? FilmFit::kVertical : FilmFit::kHorizontal;

    ViewWindow window;
    if (fit == FilmFit::kVertical) {
        window.halfHeight = filmHeight * 0.5;
        window.halfWidth = window.halfHeight * aspect;
    } else {
        window.halfWidth = filmWidth * 0.5;
        window.halfHeight = window.halfWidth / aspect;
    }
    window.offsetX = (std::isfinite(lens.horizontalFilmOffset) ? lens.horizontalFilmOffset : 0.0) * unit;
    window.offsetY = (std::isfinite(lens.verticalFilmOffset) ? lens.verticalFilmOffset : 0.0) * unit;
    return window;
}

void projectionMatrix(const CameraLens& lens, double portAspect, double m[4][4])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r][c] = 0.0;
    const ViewWindow window = viewWindow(lens, portAspect);
    double nearClip = positiveOr(lens.nearClip, 0.1);
    double farClip = std::isfinite(lens.farClip) ? lens.farClip : 10000.0;
    if (farClip <= nearClip)
        farClip = nearClip * 2.0;
    const double depth = farClip - nearClip;
    // Eye x in [left, right] maps to [-1, 1]; the film offset shifts the window.
    const double sx = 1.0 / window.halfWidth;
    const double sy = 1.0 / window.halfHeight;
    const double ox = window.offsetX / window.halfWidth;
    const double oy = window.offsetY / window.halfHeight;
    m[0][0] = sx;
    m[1][1] = sy;
    if (lens.orthographic) {
        m[2][2] = -2.0 / depth;
        m[3][0] = -ox;
        m[3][1] = -oy;
        m[3][2] = -(farClip + nearClip) / depth;
        m[3][3] = 1.0;
    } else {
        m[2][0] = ox;
        m[2][1] = oy;
        m[2][2] = -(farClip + nearClip) / depth;
        m[2][3] = -1.0;
        m[3][2] = -2.0 * farClip * nearClip / depth;
    }
}

} // namespace host
