#pragma once
// The built-in animation curves "animCurveTL", "animCurveTA", "animCurveTU"
// (time in; distance, angle or a plain number out) and "animCurveUL",
// "animCurveUA", "animCurveUU" (a number in: driven keys), with Maya's
// attributes: the keys in "keyTimeValue" (ktv[i].kt, ktv[i].kv), per-key
// tangent types "keyTanInType"/"keyTanOutType" (a key without one uses the
// curve's "tangentType"), stored tangents "keyTanInX/Y", "keyTanOutX/Y",
// "weightedTangents", "preInfinity" and "postInfinity". A time curve whose
// "input" is not connected evaluates at the current time, as in Maya.

#include "anim/AnimCurveMath.h"

#include <maya/MDataBlock.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <vector>

namespace host {

class Node;

class AnimCurveNode : public MPxNode
{
public:
    enum Kind { kTL, kTA, kTU, kUL, kUA, kUU, kKindCount };

    // Each kind's attributes (one set per node type).
    struct Attributes
    {
        MObject input, output;
        MObject keyTimeValue, keyTime, keyValue;
        MObject keyTanInType, keyTanOutType, keyTanInX, keyTanInY, keyTanOutX, keyTanOutY;
        MObject keyTanLocked, keyWeightLocked, keyBreakdown;
        MObject tangentType, weightedTangents, preInfinity, postInfinity;
    };

    explicit AnimCurveNode(Kind kind) : mKind(kind) {}
    ~AnimCurveNode() override;

    static void registerTypes();
    static const char* typeNameOf(Kind kind);
    static const Attributes& attributesOf(Kind kind);
    // The curve kind a node is, or false when it is no animation curve.
    static bool kindOf(const MObject& node, Kind& kind);
    // Whether the curve's input is time (T curves) rather than a number.
    static bool isTimeInput(Kind kind) { return kind <= kTU; }

    MStatus compute(const MPlug& plug, MDataBlock& block) override;
    void postConstructor() override;

    Kind kind() const { return mKind; }

    // The curve's keys and settings as its attributes hold them (inputs in seconds or numbers,
    // values in internal units), and the curve's own default tangent type.
    static MStatus read(const MObject& node, AnimCurveMath& curve, int* defaultTangentType = nullptr);

    // Marks every time curve whose input is not connected dirty: the current time changed.
    static void timeChanged();

private:
    Kind mKind;
};

} // namespace host
