#pragma once
// What drawing and picking ask of a "shapeControl" node beyond its plugs: whether it may be
// hovered or picked, and its curve sampled into points, cached per node for the whole process.

#include <maya/MApiNamespace.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>

// Whether the control at `path` may be hovered or picked: "enableHover" on, the path visible and
// not templated, and no drawing override on it (the control's own, a parent's or a display
// layer's) showing it as template or reference or hiding it.
bool isShapeControlInteractive(const MDagPath& path);

// Whether `object` holds a NURBS curve (curve data or a curve shape).
bool isShapeControlCurve(const MObject& object);

// The curve in `curve` (curve data or a curve shape) sampled evenly along its knot domain,
// 8 points a span, cached per node. Samples still current for `knownSerial` are not copied
// into `outPoints`. Returns true when there is at least one point.
bool sampleShapeControlCurve(const MObject& node, const MObject& curve, unsigned long long knownSerial,
                             MPointArray& outPoints, bool& outClosed, unsigned long long& outSerial);

// Forgets one node's curve samples (a null node: nothing), by the node or by its key once the
// node is going away.
void dropShapeControlCurveSamples(const MObject& node);
void dropShapeControlCurveSamples(unsigned nodeKey);

// Forgets every node's samples (the last control is gone).
void clearShapeControlCurveSamples();
