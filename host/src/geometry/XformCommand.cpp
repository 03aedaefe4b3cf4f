#include "geometry/XformCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "dag/TransformNode.h"
#include "geometry/GeometryStatus.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshComponents.h"

#include <maya/MAngle.h>
#include <maya/MArgList.h>
#include <maya/MBoundingBox.h>
#include <maya/MDoubleArray.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MTransformationMatrix.h>

#include <cmath>
#include <vector>

namespace host {

namespace {

// Radians in one angle of the UI unit: MEL gives and takes rotations in it, as it does distances.
double radiansPerUiAngle()
{
    return MAngle(1.0, MAngle::uiUnit()).asRadians();
}

enum Channel { kTranslate, kRotate, kScale, kShear, kMatrix, kPivots, kRotatePivot, kScalePivot, kBox, kOrder };

struct ChannelFlag
{
    const char* shortName;
    const char* longName;
    Channel channel;
    unsigned values;  // numbers the flag takes when setting
};
const ChannelFlag kChannels[] = {
    {"-t", "-translation", kTranslate, 3},    {"-ro", "-rotation", kRotate, 3},
    {"-s", "-scale", kScale, 3},              {"-sh", "-shear", kShear, 3},
    {"-m", "-matrix", kMatrix, 16},           {"-piv", "-pivots", kPivots, 3},
    {"-rp", "-rotatePivot", kRotatePivot, 3}, {"-sp", "-scalePivot", kScalePivot, 3},
    {"-bb", "-boundingBox", kBox, 0},         {"-roo", "-rotateOrder", kOrder, 1},
};

const char* const kOrderNames[] = {"xyz", "yzx", "zxy", "xzy", "yxz", "zyx"};

struct Request
{
    const ChannelFlag* flag;
    std::vector<double> values;
    MString word;  // -roo's order name
};

// Which of a channel's values are distances (MEL gives them in the UI unit):
// all of a translate, pivot or box, the translation row of a matrix.
bool isDistance(Channel channel, size_t index)
{
    switch (channel) {
    case kTranslate:
    case kPivots:
    case kRotatePivot:
    case kScalePivot:
    case kBox: return true;
    case kMatrix: return index % 16 >= 12 && index % 16 < 15;
    default: return false;
    }
}

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("xform: ") + message);
    return MS::kInvalidParameter;
}

MPlug plugOf(const MDagPath& transform, const char* name)
{
    return MFnDagNode(transform).findPlug(name, true);
}

MVector vectorOf(const MPlug& plug)
{
    MVector v;
    for (unsigned k = 0; k < 3; ++k)
        v[k] = plug.child(k).asDouble();
    return v;
}

MTransformationMatrix::RotationOrder orderOf(const MDagPath& transform)
{
    const int value = plugOf(transform, "rotateOrder").asInt();
    return MTransformationMatrix::RotationOrder(MTransformationMatrix::kXYZ + (value >= 0 && value < 6 ? value : 0));
}

// Rotation of a matrix in the UI angle unit, in the transform's rotation order.
MVector rotationOf(const MMatrix& m, MTransformationMatrix::RotationOrder order)
{
    MTransformationMatrix tm(m);
    tm.reorderRotation(order);
    double r[3];
    MTransformationMatrix::RotationOrder got = order;
    tm.getRotation(r, got);
    const double unit = radiansPerUiAngle();
    return MVector(r[0] / unit, r[1] / unit, r[2] / unit);
}

void appendVector(MDoubleArray& out, const MVector& v)
{
    for (unsigned k = 0; k < 3; ++k)
        out.append(v[k]);
}

void appendMatrix(MDoubleArray& out, const MMatrix& m)
{
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c)
            out.append(m(r, c));
}

MStatus queueVector(MDGModifier& modifier, const MPlug& plug, const MVector& v)
{
    for (unsigned k = 0; k < 3; ++k)
        GEO_CHECK(modifier.newPlugValueDouble(plug.child(k), v[k]));
    return MS::kSuccess;
}

// The box of what a DAG node shows, in its own space: its shapes and those of
// its descendants, leaving out intermediate objects (a deformer's Orig).
MStatus shownBox(const MDagPath& path, MBoundingBox& box)
{
    MStatus status;
    for (unsigned i = 0, n = path.childCount(); i < n; ++i) {
        MDagPath child(path);
        GEO_CHECK(child.push(path.child(i)));
        MFnDagNode fn(child);
        if (fn.isIntermediateObject())
            continue;
        if (child.node().hasFn(MFn::kShape)) {
            const MBoundingBox shapeBox = fn.boundingBox(&status);
            GEO_CHECK(status);
            box.expand(shapeBox);
        } else if (child.node().hasFn(MFn::kTransform)) {
            MBoundingBox childBox;
            GEO_CHECK(shownBox(child, childBox));
            childBox.transformUsing(fn.transformationMatrix());
            box.expand(childBox);
        }
    }
    return MS::kSuccess;
}

MStatus queryTransform(const MDagPath& transform, const Request& request, bool world, MDoubleArray& out,
                       MString& orderName)
{
    MStatus status;
    const MMatrix inclusive = transform.inclusiveMatrix(&status);
    GEO_CHECK(status);
    switch (request.flag->channel) {
    case kTranslate:
        appendVector(out, world ? MVector(inclusive(3, 0), inclusive(3, 1), inclusive(3, 2))
                                : vectorOf(plugOf(transform, "translate")));
        break;
    case kRotate: {
        if (world) {
            appendVector(out, rotationOf(inclusive, orderOf(transform)));
        } else {
            appendVector(out, vectorOf(plugOf(transform, "rotate")) / radiansPerUiAngle());
        }
        break;
    }
    case kScale: {
        if (world) {
            double s[3];
            GEO_CHECK(MTransformationMatrix(inclusive).getScale(s, MSpace::kTransform));
            appendVector(out, MVector(s[0], s[1], s[2]));
        } else {
            appendVector(out, vectorOf(plugOf(transform, "scale")));
        }
        break;
    }
    case kShear: appendVector(out, vectorOf(plugOf(transform, "shear"))); break;
    case kMatrix: {
        const MMatrix local = MFnDagNode(transform).transformationMatrix(&status);
        GEO_CHECK(status);
        appendMatrix(out, world ? inclusive : local);
        break;
    }
    case kPivots:
    case kRotatePivot:
    case kScalePivot: {
        // Pivots are points in the object's own space.
        const auto pivot = [&](const char* name) {
            const MPoint p(vectorOf(plugOf(transform, name)));
            return MVector(world ? p * inclusive : p);
        };
        if (request.flag->channel != kScalePivot)
            appendVector(out, pivot("rotatePivot"));
        if (request.flag->channel != kRotatePivot)
            appendVector(out, pivot("scalePivot"));
        break;
    }
    case kBox: {
        MBoundingBox box;
        GEO_CHECK(shownBox(transform, box));
        if (world)
            box.transformUsing(inclusive);
        appendVector(out, MVector(box.min()));
        appendVector(out, MVector(box.max()));
        break;
    }
    case kOrder: {
        const int value = plugOf(transform, "rotateOrder").asInt();
        orderName = kOrderNames[value >= 0 && value < 6 ? value : 0];
        break;
    }
    }
    return MS::kSuccess;
}

// Sets the channels so the local matrix becomes m, keeping the pivots, their
// translations and the rotate axis: the 3x3 part gives scale, shear and rotation,
// and the translate takes what the pivots leave of m's translation.
MStatus queueMatrix(MDGModifier& modifier, const MDagPath& transform, const MMatrix& m)
{
    using Part = TransformNode::Part;
    MVector parts[TransformNode::kPartCount];
    for (int p = 0; p < TransformNode::kPartCount; ++p)
        parts[p] = vectorOf(MPlug(transform.node(), TransformNode::partAttribute(Part(p))));
    const int orderValue = plugOf(transform, "rotateOrder").asInt();
    const MTransformationMatrix tm(m);
    double scale[3], shear[3];
    GEO_CHECK(tm.getScale(scale, MSpace::kTransform));
    GEO_CHECK(tm.getShear(shear, MSpace::kTransform));
    // m's rotation is the rotate axis followed by the rotation.
    const MMatrix rotateAxis = MEulerRotation(parts[TransformNode::kRotateAxis]).asMatrix();
    const MMatrix rotation = rotateAxis.inverse() * tm.asRotateMatrix();
    parts[TransformNode::kScale] = MVector(scale[0], scale[1], scale[2]);
    parts[TransformNode::kShear] = MVector(shear[0], shear[1], shear[2]);
    parts[TransformNode::kRotate] = rotationOf(rotation, orderOf(transform)) * radiansPerUiAngle();
    parts[TransformNode::kTranslate] = MVector::zero;
    const MMatrix withoutTranslate = TransformNode::compose(parts, short(orderValue)).asMatrix();
    const MVector translate(m(3, 0) - withoutTranslate(3, 0), m(3, 1) - withoutTranslate(3, 1),
                            m(3, 2) - withoutTranslate(3, 2));
    GEO_CHECK(queueVector(modifier, plugOf(transform, "translate"), translate));
    GEO_CHECK(queueVector(modifier, plugOf(transform, "rotate"), parts[TransformNode::kRotate]));
    GEO_CHECK(queueVector(modifier, plugOf(transform, "scale"), parts[TransformNode::kScale]));
    return queueVector(modifier, plugOf(transform, "shear"), parts[TransformNode::kShear]);
}

MStatus queueChannel(MDGModifier& modifier, const MDagPath& transform, const Request& request, bool relative,
                     bool world)
{
    MStatus status;
    const std::vector<double>& v = request.values;
    const MVector value = v.size() >= 3 ? MVector(v[0], v[1], v[2]) : MVector();
    switch (request.flag->channel) {
    case kTranslate: return queueTranslate(modifier, transform, value, relative, world);
    case kRotate: {
        const MPlug plug = plugOf(transform, "rotate");
        const double unit = radiansPerUiAngle();
        MVector angles = value;
        if (world && !relative) {
            // The local rotation that gives this world rotation under the parent.
            const MTransformationMatrix::RotationOrder order = orderOf(transform);
            MTransformationMatrix wanted;
            const double radians[3] = {value.x * unit, value.y * unit, value.z * unit};
            GEO_CHECK(wanted.setRotation(radians, order));
            const MMatrix parentInverse = transform.exclusiveMatrixInverse(&status);
            GEO_CHECK(status);
            angles = rotationOf(wanted.asMatrix() * parentInverse, order);
        }
        const MVector current = vectorOf(plug);
        return queueVector(modifier, plug, relative ? current + angles * unit : angles * unit);
    }
    case kScale: {
        const MPlug plug = plugOf(transform, "scale");
        const MVector current = vectorOf(plug);
        return queueVector(modifier, plug,
                           relative ? MVector(current.x * value.x, current.y * value.y, current.z * value.z) : value);
    }
    case kShear: {
        const MPlug plug = plugOf(transform, "shear");
        return queueVector(modifier, plug, relative ? vectorOf(plug) + value : value);
    }
    case kMatrix: {
        MMatrix m;
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c)
                m(r, c) = v[r * 4 + c];
        if (world) {
            const MMatrix parentInverse = transform.exclusiveMatrixInverse(&status);
            GEO_CHECK(status);
            m = m * parentInverse;
        }
        return queueMatrix(modifier, transform, m);
    }
    case kPivots:
    case kRotatePivot:
    case kScalePivot: {
        MVector local = value;
        if (world) {
            const MMatrix inverse = transform.inclusiveMatrixInverse(&status);
            GEO_CHECK(status);
            local = relative ? value * inverse : MVector(MPoint(value) * inverse);
        }
        for (const char* name : {"rotatePivot", "scalePivot"}) {
            const bool isRotate = name[0] == 'r';
            if ((isRotate && request.flag->channel == kScalePivot) ||
                (!isRotate && request.flag->channel == kRotatePivot))
                continue;
            const MPlug plug = plugOf(transform, name);
            GEO_CHECK(queueVector(modifier, plug, relative ? vectorOf(plug) + local : local));
        }
        return MS::kSuccess;
    }
    case kOrder: {
        for (int i = 0; i < 6; ++i)
            if (request.word == kOrderNames[i])
                return modifier.newPlugValueInt(plugOf(transform, "rotateOrder"), i);
        return fail(MString("unknown rotation order ") + request.word + ": give xyz, yzx, zxy, xzy, yxz or zyx.");
    }
    case kBox: return fail("-boundingBox can only be queried.");
    }
    return MS::kSuccess;
}

} // namespace

MStatus XformCommand::doIt(const MArgList& args)
{
    const unsigned n = args.length();
    bool query = false, relative = false, world = false;
    for (unsigned i = 0; i < n; ++i)
        query = query || CommandFlags::names(args.asString(i), "-q", "-query");

    std::vector<Request> requests;
    std::vector<MString> names;
    for (unsigned i = 0; i < n; ++i) {
        const MString word = args.asString(i);
        if (CommandFlags::names(word, "-q", "-query")) {
            continue;
        } else if (CommandFlags::names(word, "-r", "-relative")) {
            relative = true;
        } else if (CommandFlags::names(word, "-a", "-absolute")) {
            relative = false;
        } else if (CommandFlags::names(word, "-ws", "-worldSpace")) {
            world = true;
        } else if (CommandFlags::names(word, "-os", "-objectSpace")) {
            world = false;
        } else if (CommandFlags::names(word, "-p", "-preserve")) {
            if (i + 1 < n && ValueText::isBoolWord(args.asString(i + 1)))
                ++i;
        } else if (ValueText::isFlag(word)) {
            const ChannelFlag* found = nullptr;
            for (const ChannelFlag& c : kChannels)
                if (CommandFlags::names(word, c.shortName, c.longName))
                    found = &c;
            if (!found)
                return fail(MString("Invalid flag '") + word + "'");
            Request request{found, {}, MString()};
            if (!query && found->channel == kOrder) {
                if (i + 1 >= n)
                    return fail(MString(word) + " takes a rotation order.");
                request.word = args.asString(++i);
            } else if (!query) {
                for (unsigned k = 0; k < found->values; ++k) {
                    double value = 0;
                    if (i + 1 + k >= n || !ValueText::parseDouble(args.asString(i + 1 + k), value))
                        return fail(MString(word) + " takes " + ValueText::formatInt(found->values) + " numbers.");
                    if (isDistance(found->channel, k))
                        value *= LinearUnitText::centimetresPerUiUnit();
                    request.values.push_back(value);
                }
                i += found->values;
            }
            requests.push_back(request);
        } else {
            names.push_back(word);
        }
    }
    if (requests.empty())
        return fail(query ? "give the value to query: -t, -ro, -s, -sh, -m, -piv, -rp, -sp, -bb or -roo."
                          : "give a value to set: -t, -ro, -s, -sh, -m, -piv, -rp, -sp or -roo.");
    if (query && requests.size() > 1)
        return fail("query one value at a time.");

    MoveTargets targets;
    GEO_CHECK(findMoveTargets("xform", names, targets));
    if (!targets.vertices.empty() || !targets.cvs.empty())
        for (const Request& request : requests)
            if (request.flag->channel != kTranslate)
                return fail("vertices and CVs take only -t.");

    if (!query)
        for (const Request& request : requests)
            if (request.flag->channel == kBox)
                return fail("-boundingBox can only be queried.");

    mQuery = query;
    if (query) {
        MDoubleArray result;
        MString orderName;
        std::vector<double> xyz;
        for (const MeshComponent& vertices : targets.vertices) {
            GEO_CHECK(vertexPositions(vertices, world, xyz));
            for (double v : xyz)
                result.append(v);
        }
        for (const CurveComponent& cvs : targets.cvs) {
            GEO_CHECK(cvPositions(cvs, world, xyz));
            for (double v : xyz)
                result.append(v);
        }
        for (const MDagPath& transform : targets.transforms) {
            GEO_CHECK(queryTransform(transform, requests[0], world, result, orderName));
            if (requests[0].flag->channel == kOrder) {
                setResult(orderName);  // the first object's, as a string
                return MS::kSuccess;
            }
        }
        const double scale = LinearUnitText::centimetresPerUiUnit();
        if (scale != 1.0)
            for (unsigned i = 0; i < result.length(); ++i)
                if (isDistance(requests[0].flag->channel, i))
                    result[i] /= scale;
        setResult(result);
        return MS::kSuccess;
    }

    // The matrix first, so that channels given with it adjust what it set.
    const Channel order[] = {kMatrix, kOrder, kScale, kShear, kRotate, kTranslate, kPivots, kRotatePivot, kScalePivot};
    for (const MeshComponent& vertices : targets.vertices)
        for (const Request& request : requests) {
            const std::vector<double>& v = request.values;
            GEO_CHECK(queueVertexMove(mModifier, vertices, MVector(v[0], v[1], v[2]), relative, world));
        }
    for (const CurveComponent& cvs : targets.cvs)
        for (const Request& request : requests) {
            const std::vector<double>& v = request.values;
            GEO_CHECK(queueCVMove(mModifier, cvs, MVector(v[0], v[1], v[2]), relative, world));
        }
    for (const MDagPath& transform : targets.transforms)
        for (Channel channel : order)
            for (const Request& request : requests)
                if (request.flag->channel == channel) {
                    MStatus status = queueChannel(mModifier, transform, request, relative, world);
                    if (!status) {
                        mModifier.undoIt();  // a failed call leaves nothing changed
                        return status;
                    }
                    // Later channels read the values this one queued.
                    status = execute("xform");
                    if (!status)
                        return status;
                }
    return execute("xform");
}

} // namespace host
