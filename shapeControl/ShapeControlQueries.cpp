#include "shapeControl/ShapeControlQueries.h"

#include <maya/MDagPath.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace {

// Curve samples per node, keyed by the node handle's hash code; every entry built gets the
// next serial so that drawing can tell whether the points it holds are still current.
struct CurveSamples
{
    MObjectHandle node;
    MObjectHandle curve;
    MPointArray points;
    int cvCount = 0;
    int spanCount = 0;
    int degree = 0;
    bool closed = false;
    unsigned long long serial = 0;
};

std::mutex curveCacheMutex;
std::unordered_map<unsigned, CurveSamples> curveCache;
unsigned long long curveSerialCounter = 0;

// A plug's value as a bool, or `fallback` when the node has no such attribute.
bool boolPlug(const MFnDependencyNode& node, const char* name, bool fallback, bool& found)
{
    MStatus status;
    MPlug plug = node.findPlug(name, true, &status);
    found = status && !plug.isNull();
    if (!found) {
        return fallback;
    }
    const bool value = plug.asBool(&status);
    found = status == MS::kSuccess;
    return found ? value : fallback;
}

} // namespace

bool isShapeControlCurve(const MObject& object)
{
    return object.hasFn(MFn::kNurbsCurveData) || object.hasFn(MFn::kNurbsCurve);
}

bool isShapeControlInteractive(const MDagPath& path)
{
    MStatus status;
    const MObject node = path.node(&status);
    if (!status) {
        return false;
    }
    MFnDependencyNode fn(node, &status);
    bool found = false;
    if (status && !boolPlug(fn, "enableHover", true, found) && found) {
        return false;
    }
    const bool visible = path.isVisible(&status);
    if (!status || !visible) {
        return false;
    }
    const bool templated = path.isTemplated(&status);
    if (!status || templated) {
        return false;
    }
    // From the control upwards, the first node whose overrides are on decides how it displays;
    // an override that hides it counts wherever it is.
    bool decided = false;
    for (MDagPath p(path); p.length() > 0; p.pop()) {
        MFnDependencyNode ancestor(p.node(), &status);
        if (!status || !boolPlug(ancestor, "overrideEnabled", false, found)) {
            continue;
        }
        if (!boolPlug(ancestor, "overrideVisibility", true, found)) {
            return false;
        }
        if (!decided) {
            decided = true;
            const MPlug displayType = ancestor.findPlug("overrideDisplayType", true, &status);
            if (status && !displayType.isNull() && displayType.asInt() != 0) {
                return false;
            }
        }
    }
    return true;
}

bool sampleShapeControlCurve(const MObject& node, const MObject& curve, unsigned long long knownSerial,
                             MPointArray& outPoints, bool& outClosed, unsigned long long& outSerial)
{
    if (node.isNull() || curve.isNull()) {
        return false;
    }
    MStatus status;
    MFnNurbsCurve fn(curve, &status);
    if (!status) {
        return false;
    }
    const int cvCount = fn.numCVs();
    const int spanCount = fn.numSpans();
    const int degree = fn.degree();
    const MObjectHandle nodeHandle(node);
    const MObjectHandle curveHandle(curve);
    const unsigned key = nodeHandle.hashCode();

    std::lock_guard<std::mutex> lock(curveCacheMutex);
    auto found = curveCache.find(key);
    if (found != curveCache.end()) {
        const CurveSamples& entry = found->second;
        if (entry.node == nodeHandle && entry.curve == curveHandle && entry.cvCount == cvCount &&
            entry.spanCount == spanCount && entry.degree == degree) {
            outClosed = entry.closed;
            outSerial = entry.serial;
            if (knownSerial != entry.serial) {
                outPoints = entry.points;
            }
            return entry.points.length() > 0;
        }
    }

    CurveSamples entry;
    entry.node = nodeHandle;
    entry.curve = curveHandle;
    entry.cvCount = cvCount;
    entry.spanCount = spanCount;
    entry.degree = degree;
    entry.closed = fn.form() != MFnNurbsCurve::kOpen;
    double start = 0.0;
    double end = 0.0;
    if (fn.getKnotDomain(start, end)) {
        const int count = std::max(8 * spanCount + 1, 2);
        for (int i = 0; i < count; ++i) {
            const double param = start + (end - start) * i / (count - 1);
            MPoint point;
            if (fn.getPointAtParam(param, point, MSpace::kObject)) {
                entry.points.append(point);
            }
        }
    }
    if (entry.points.length() == 0) {
        // A curve that cannot be evaluated is still drawn through its control vertices.
        fn.getCVs(entry.points, MSpace::kObject);
    }
    if (entry.points.length() == 0) {
        return false;
    }
    entry.serial = ++curveSerialCounter;
    outClosed = entry.closed;
    outSerial = entry.serial;
    outPoints = entry.points;
    curveCache[key] = std::move(entry);
    return true;
}

void dropShapeControlCurveSamples(const MObject& node)
{
    if (node.isNull()) {
        return;
    }
    dropShapeControlCurveSamples(MObjectHandle(node).hashCode());
}

void dropShapeControlCurveSamples(unsigned nodeKey)
{
    std::lock_guard<std::mutex> lock(curveCacheMutex);
    curveCache.erase(nodeKey);
}

void clearShapeControlCurveSamples()
{
    std::lock_guard<std::mutex> lock(curveCacheMutex);
    curveCache.clear();
}

