#pragma once
// Maya's camera projection from a camera's film-back settings and the port's
// aspect, without any Maya type: 4x4 matrices in Maya's row-vector convention
// (p' = p * M), mapping eye space (looking down -Z) to OpenGL clip space.

namespace host {

enum class FilmFit { kFill = 0, kHorizontal = 1, kVertical = 2, kOverscan = 3 };

struct CameraLens
{
    double focalLength = 35.0;             // millimetres
    double horizontalFilmAperture = 1.41732; // inches
    double verticalFilmAperture = 0.94488;
    double horizontalFilmOffset = 0.0;     // inches
    double verticalFilmOffset = 0.0;
    double lensSqueezeRatio = 1.0;
    double cameraScale = 1.0;
    double overscan = 1.0;
    FilmFit filmFit = FilmFit::kHorizontal;
    bool orthographic = false;
    double orthographicWidth = 10.0;
    double nearClip = 0.1;
    double farClip = 10000.0;
};

// Half extents of the view at unit distance (perspective) or in world units
// (orthographic), after the film fit to a port of the given aspect (width / height),
// and the film offset in the same units.
struct ViewWindow
{
    double halfWidth = 1.0;
    double halfHeight = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
};

ViewWindow viewWindow(const CameraLens& lens, double portAspect);

// The projection matrix, row-major: m[row][column].
void projectionMatrix(const CameraLens& lens, double portAspect, double m[4][4]);

} // namespace host
