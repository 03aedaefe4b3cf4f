#ifndef MAYA_MBOUNDINGBOX_H
#define MAYA_MBOUNDINGBOX_H

#include <maya/MStatus.h>
#include <maya/MPoint.h>

// Axis-aligned box. A default box is empty; the first expand makes it a point box.
class MBoundingBox
{
public:
    MBoundingBox();
    MBoundingBox(const MBoundingBox& src) = default;
    MBoundingBox(const MPoint& corner1, const MPoint& corner2);
    MBoundingBox& operator=(const MBoundingBox& src) = default;

    void clear();
    void transformUsing(const MMatrix& matrix);
    void expand(const MPoint& point);
    void expand(const MBoundingBox& box);
    bool contains(const MPoint& point) const;
    bool intersects(const MBoundingBox& box, double tol = 0.0) const;
    double width() const;
    double height() const;
    double depth() const;
    MPoint center() const;
    MPoint min() const;
    MPoint max() const;

private:
    MPoint fMin;
    MPoint fMax;
    bool fEmpty;
};

#endif
