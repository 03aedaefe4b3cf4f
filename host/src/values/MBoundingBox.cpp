#include <maya/MBoundingBox.h>
#include <maya/MMatrix.h>

#include <algorithm>
#include <cmath>

MBoundingBox::MBoundingBox() : fMin(0.0, 0.0, 0.0), fMax(0.0, 0.0, 0.0), fEmpty(true) {}

MBoundingBox::MBoundingBox(const MPoint& corner1, const MPoint& corner2) : fEmpty(false)
{
    MPoint a(corner1), b(corner2);
    a.cartesianize();
    b.cartesianize();
    fMin = MPoint(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
    fMax = MPoint(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
}

void MBoundingBox::clear()
{
    *this = MBoundingBox();
}

void MBoundingBox::transformUsing(const MMatrix& matrix)
{
    if (fEmpty) return;
    MBoundingBox result;
    for (int corner = 0; corner < 8; ++corner) {
        MPoint p((corner & 1) ? fMax.x : fMin.x, (corner & 2) ? fMax.y : fMin.y, (corner & 4) ? fMax.z : fMin.z);
        result.expand(p * matrix);
    }
    *this = result;
}

void MBoundingBox::expand(const MPoint& point)
{
    MPoint p(point);
    p.cartesianize();
    if (fEmpty) {
        fMin = fMax = MPoint(p.x, p.y, p.z);
        fEmpty = false;
        return;
    }
    fMin = MPoint(std::min(fMin.x, p.x), std::min(fMin.y, p.y), std::min(fMin.z, p.z));
    fMax = MPoint(std::max(fMax.x, p.x), std::max(fMax.y, p.y), std::max(fMax.z, p.z));
}

void MBoundingBox::expand(const MBoundingBox& box)
{
    if (box.fEmpty) return;
    expand(box.fMin);
    expand(box.fMax);
}

bool MBoundingBox::contains(const MPoint& point) const
{
    if (fEmpty) return false;
    MPoint p(point);
    p.cartesianize();
    return p.x >= fMin.x && p.x <= fMax.x && p.y >= fMin.y && p.y <= fMax.y && p.z >= fMin.z && p.z <= fMax.z;
}

bool MBoundingBox::intersects(const MBoundingBox& box, double tol) const
{
    if (fEmpty || box.fEmpty) return false;
    return fMin.x <= box.fMax.x + tol && box.fMin.x <= fMax.x + tol && fMin.y <= box.fMax.y + tol &&
           box.fMin.y <= fMax.y + tol && fMin.z <= box.fMax.z + tol && box.fMin.z <= fMax.z + tol;
}

double MBoundingBox::width() const
{
    return fMax.x - fMin.x;
}

double MBoundingBox::height() const
{
    return fMax.y - fMin.y;
}

double MBoundingBox::depth() const
{
    return fMax.z - fMin.z;
}

MPoint MBoundingBox::center() const
{
    return MPoint(0.5 * (fMin.x + fMax.x), 0.5 * (fMin.y + fMax.y), 0.5 * (fMin.z + fMax.z));
}

MPoint MBoundingBox::min() const
{
    return fMin;
}

MPoint MBoundingBox::max() const
{
    return fMax;
}
