#pragma once
// What the shape-control tests read from a picture of modelPanel4: controls made opaque so their
// colours compare exactly, the colours of their looks, and pixel tests near projected points.

#include "PluginTestSupport.h"

#include <maya/M3dView.h>
#include <maya/MPoint.h>

#include <QColor>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>

using PixelTest = std::function<bool(const QColor&)>;

inline PixelTest colour(double r, double g, double b, int tolerance = 8)
{
    return [=](const QColor& c) {
        return std::abs(c.red() - int(r * 255 + 0.5)) <= tolerance &&
               std::abs(c.green() - int(g * 255 + 0.5)) <= tolerance &&
               std::abs(c.blue() - int(b * 255 + 0.5)) <= tolerance;
    };
}

// A control's default looks.
const PixelTest kNormal = colour(1.0, 0.0, 0.0);
const PixelTest kHovered = colour(1.0, 0.82, 0.18);
const PixelTest kSelected = colour(0.056, 1.0, 0.366);

class ShapeControlPicture
{
protected:
    explicit ShapeControlPicture(const std::string& name)
        : imageFile("/tmp/pellix-" + name + "-" + std::to_string(::getpid()) + ".png")
    {
    }
    ~ShapeControlPicture() { std::remove(imageFile.c_str()); }

    // A control "name" with its shape "nameShape", opaque in every state so colours compare exactly.
    static void makeControl(const std::string& name)
    {
        for (const std::string& command :
             {"createNode transform -n " + name, "createNode shapeControl -p " + name + " -n " + name + "Shape",
              "setAttr " + name + "Shape.transparency 0", "setAttr " + name + "Shape.hoverTransparency 0",
              "setAttr " + name + "Shape.selectedTransparency 0", std::string("select -cl")})
            ASSERT_TRUE(mel(command)) << command;
    }

    void snapshot()
    {
        ASSERT_TRUE(mel("refresh -cv -fe png -fn \"" + imageFile + "\""));
        ASSERT_TRUE(image.load(imageFile.c_str()));
    }

    QColor pixel(int x, int y) const { return image.pixelColor(x, image.height() - 1 - y); }

    // Whether a pixel within `radius` of the projected point passes the test.
    bool drawnNear(const MPoint& world, const PixelTest& test, int radius = 2) const
    {
        short cx = 0, cy = 0;
        if (!view.worldToView(world, cx, cy)) return false;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x >= 0 && y >= 0 && x < image.width() && y < image.height() && test(pixel(x, y))) return true;
            }
        return false;
    }

    // How many pixels in a row pass the test, walking across a line through the projected point.
    int thicknessAt(const MPoint& world, const PixelTest& test, int dx, int dy) const
    {
        short cx = 0, cy = 0;
        if (!view.worldToView(world, cx, cy)) return -1;
        int count = 0;
        for (int step = -8; step <= 8; ++step) count += test(pixel(cx + dx * step, cy + dy * step));
        return count;
    }

    mutable M3dView view;  // its port queries are not const
    QImage image;
    const std::string imageFile;
};
