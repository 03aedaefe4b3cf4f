#ifndef MAYA_MFNMANIP3D_H
#define MAYA_MFNMANIP3D_H

#include <maya/MStatus.h>

// Manipulator preferences shared by all manipulators (global scale, handle size, line width).
class MFnManip3D
{
public:
    static float globalSize();
    static void setGlobalSize(float size);
    static float handleSize();
    static void setHandleSize(float size);
    static float lineSize();
    static void setLineSize(float size);
    static bool drawPlaneHandles();
    static void setDrawPlaneHandles(bool drawPlaneHandles);
};

#endif
