#include "geometry/XformCommand.h"

#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/ValueText.h"
#include "geometry/GeometryStatus.h"
#include "geometry/MeshComponents.h"

#include <maya/MArgList.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDagNode.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>

#include <cmath>

namespace host {

namespace {

// The three-valued channels and their plugs.
struct Channel
{
    const char* shortFlag;
    const char* longFlag;
    const char* plug;
    double toInternal;  // degrees -> radians for rotation
};
const Channel kChannels[] = {
    {"-t", "-translation", "translate", 1.0},
    {"-ro", "-rotation", "rotate", 3.14159265358979323846 / 180.0},
    {"-s", "-scale", "scale", 1.0},
};

MStatus fail(const MString& message)
{
    MGlobal::displayError(MString("xform: ") + message);
    return MS::kInvalidParameter;
}

} // namespace

MStatus XformCommand::doIt(const MArgList& args)
{
    bool query = false, relative = false, world = false;
    int channel = -1;
    MVector value;
    std::vector<MString> names;
    const unsigned n = args.length();
    for (unsigned i = 0; i < n; ++i) {
        const MString word = args.asString(i);
        if (CommandFlags::names(word, "-q", "-query")) {
            query = true;
        } else if (CommandFlags::names(word, "-r", "-relative")) {
            relative = true;
        } else if (CommandFlags::names(word, "-a", "-absolute")) {
            relative = false;
        } else if (CommandFlags::names(word, "-ws", "-worldSpace")) {
            world = true;
        } else if (CommandFlags::names(word, "-os", "-objectSpace")) {
            world = false;
        } else if (ValueText::isFlag(word)) {
            int found = -1;
            for (int c = 0; c < 3; ++c)
                if (CommandFlags::names(word, kChannels[c].shortFlag, kChannels[c].longFlag))
                    found = c;
            if (found < 0)
                return fail(MString("unknown flag ") + word + ".");
            if (channel >= 0)
                return fail("give one of -t, -ro and -s at a time.");
            channel = found;
            // Values follow unless querying; -q may also come later, so look ahead.
            bool queried = query;
            for (unsigned j = i + 1; j < n && !queried; ++j)
                queried = CommandFlags::names(args.asString(j), "-q", "-query");
            if (!queried) {
                for (unsigned k = 0; k < 3; ++k)
                    if (i + 1 + k >= n || !ValueText::parseDouble(args.asString(i + 1 + k), value[k]))
                        return fail(MString(word) + " takes three numbers.");
                i += 3;
            }
        } else {
            names.push_back(word);
        }
    }
    if (channel < 0)
        return fail("give -t, -ro or -s.");
    MoveTargets targets;
    GEO_CHECK(findMoveTargets("xform", names, targets));
    const Channel& c = kChannels[channel];
    if (!targets.vertices.empty() && channel != 0)
        return fail("vertices take only -t.");

    mQuery = query;
    if (query) {
        MDoubleArray result;
        std::vector<double> xyz;
        for (const MeshComponent& vertices : targets.vertices) {
            GEO_CHECK(vertexPositions(vertices, world, xyz));
            for (double v : xyz)
                result.append(v);
        }
        for (const MDagPath& transform : targets.transforms) {
            MStatus status;
            MVector v;
            if (world && channel == 0) {
                MMatrix m = transform.inclusiveMatrix(&status);
                GEO_CHECK(status);
                v = MVector(m(3, 0), m(3, 1), m(3, 2));
            } else {
                MPlug plug = MFnDagNode(transform).findPlug(c.plug, true, &status);
                GEO_CHECK(status);
                for (unsigned k = 0; k < 3; ++k)
                    v[k] = plug.child(k).asDouble() / c.toInternal;
            }
            for (unsigned k = 0; k < 3; ++k)
                result.append(v[k]);
        }
        setResult(result);
        return MS::kSuccess;
    }

    for (const MeshComponent& vertices : targets.vertices)
        GEO_CHECK(queueVertexMove(mModifier, vertices, value, relative, world));
    for (const MDagPath& transform : targets.transforms) {
        if (channel == 0) {
            GEO_CHECK(queueTranslate(mModifier, transform, value, relative, world));
            continue;
        }
        MStatus status;
        MPlug plug = MFnDagNode(transform).findPlug(c.plug, true, &status);
        GEO_CHECK(status);
        for (unsigned k = 0; k < 3; ++k) {
            const double current = plug.child(k).asDouble();
            const double wanted = value[k] * c.toInternal;
            // Relative scale multiplies, as Maya's does; rotation adds.
            const double next = !relative ? wanted : channel == 2 ? current * value[k] : current + wanted;
            GEO_CHECK(mModifier.newPlugValueDouble(plug.child(k), next));
        }
    }
    return execute("xform");
}

} // namespace host
