#include "deformers/TweakNode.h"

#include "deformers/AttributeBuilders.h"
#include "deformers/DeformedPoints.h"

#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MItGeometry.h>
#include <maya/MMatrix.h>

namespace host {

const MTypeId TweakNode::id(0x54574b4e);  // 'TWKN'
const char* const TweakNode::typeName = "tweak";
MObject TweakNode::relativeTweak, TweakNode::vlist, TweakNode::vertex, TweakNode::plist, TweakNode::controlPoints;

void* TweakNode::creator()
{
    return new TweakNode;
}

MStatus TweakNode::initialize()
{
    MStatus s;
    relativeTweak = numericAttribute("relativeTweak", "rtw", MFnNumericData::kBoolean, 1, kSingle, s);
    static const char* const vertexNames[3] = {"xVertex", "yVertex", "zVertex"};
    static const char* const vertexShort[3] = {"vx", "vy", "vz"};
    vertex = float3Attribute("vertex", "vt", vertexNames, vertexShort, true, kMulti, s);
    vlist = compoundAttribute("vlist", "vl", {vertex}, kMulti, s);
    MObject x = numericAttribute("xValue", "xv", MFnNumericData::kDouble, 0, kSingle, s);
    MObject y = numericAttribute("yValue", "yv", MFnNumericData::kDouble, 0, kSingle, s);
    MObject z = numericAttribute("zValue", "zv", MFnNumericData::kDouble, 0, kSingle, s);
    if (s) {
        MFnNumericAttribute fn;
        controlPoints = fn.create("controlPoints", "cp", x, y, z, &s);
        if (s)
            s = fn.setArray(true);
    }
    plist = compoundAttribute("plist", "pl", {controlPoints}, kMulti, s);
    DEFORMER_CHECK(s);
    DEFORMER_CHECK(addAttributes({&relativeTweak, &vlist, &plist}));
    return addAffects({&relativeTweak, &vlist, &plist}, {&outputGeom});
}

MStatus TweakNode::deform(MDataBlock& block, MItGeometry&, const MMatrix&, unsigned int index)
{
    MStatus status;
    const double weight = block.inputValue(envelope, &status).asFloat();
    DEFORMER_CHECK(status);
    const bool relative = block.inputValue(relativeTweak, &status).asBool();
    DEFORMER_CHECK(status);
    DeformedPoints points;
    if (!points.attach(block, outputGeom, index))
        return MS::kSuccess;  // nothing to tweak
    MArrayDataHandle lists = block.inputArrayValue(points.floats() ? vlist : plist, &status);
    DEFORMER_CHECK(status);
    if (weight == 0.0 || !lists.jumpToElement(index))
        return MS::kSuccess;
    MArrayDataHandle offsets(lists.inputValue(&status).child(points.floats() ? vertex : controlPoints), &status);
    DEFORMER_CHECK(status);
    for (unsigned i = 0, n = offsets.elementCount(); i < n; ++i, offsets.next()) {
        const unsigned p = offsets.elementIndex();
        if (p >= points.count())
            continue;  // offsets past the last point have nothing to move
        MDataHandle value = offsets.inputValue(&status);
        DEFORMER_CHECK(status);
        double d[3];
        if (points.floats()) {
            const float3& f = value.asFloat3();
            d[0] = f[0], d[1] = f[1], d[2] = f[2];
        } else {
            const double3& v = value.asDouble3();
            d[0] = v[0], d[1] = v[1], d[2] = v[2];
        }
        for (int k = 0; k < 3; ++k) {
            if (points.floats()) {
                float& c = points.floats()[3 * p + k];
                c = float(relative ? c + weight * d[k] : c + weight * (d[k] - c));
            } else {
                double& c = points.doubles()[3 * p + k];
                c = relative ? c + weight * d[k] : c + weight * (d[k] - c);
            }
        }
    }
    points.done();
    return MS::kSuccess;
}

} // namespace host
