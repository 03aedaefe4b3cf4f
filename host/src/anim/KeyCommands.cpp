#include "anim/KeyCommands.h"

#include "anim/AnimCurveNode.h"
#include "anim/AnimStatus.h"
#include "commands/builtins/CommandFlags.h"
#include "commands/builtins/PlugValue.h"
#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "dg/Node.h"
#include "views/ViewCommands.h"

#include <maya/MAngle.h>
#include <maya/MAnimControl.h>
#include <maya/MDGModifier.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace host {

namespace {

MStatus fail(const char* command, const MString& message)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

// "10", "10:20", "10:", ":20" or ":" (bounds included).
struct Range
{
    bool hasLow = false, hasHigh = false;
    double low = 0, high = 0;
    bool contains(double x) const { return (!hasLow || x >= low) && (!hasHigh || x <= high); }
};

MStatus parseRange(const char* command, const char* flag, const MString& text, Range& range)
{
    const std::string s(text.asChar());
    const size_t colon = s.find(':');
    const std::string low = s.substr(0, colon), high = colon == std::string::npos ? low : s.substr(colon + 1);
    range.hasLow = !low.empty();
    range.hasHigh = !high.empty();
    const bool ok = (!range.hasLow || ValueText::parseDouble(MString(low.c_str()), range.low)) &&
                    (!range.hasHigh || ValueText::parseDouble(MString(high.c_str()), range.high)) &&
                    (colon != std::string::npos || range.hasLow);
    if (!ok || (range.hasLow && range.hasHigh && range.low > range.high))
        return fail(command, MString(flag) + " takes a value or a range such as 10:20, not \"" + text + "\".");
    return MS::kSuccess;
}

// The keys a command's -t and -index ranges pick (all when neither is given).
struct KeyPick
{
    std::vector<Range> times;    // in UI time units (frames) or the driver's units
    std::vector<Range> indices;

    MStatus parse(const char* command, const CommandFlags& flags)
    {
        for (unsigned i = 0; i < flags.uses("-t"); ++i) {
            times.emplace_back();
            ANIM_CHECK(parseRange(command, "-time", flags.arg("-t", i), times.back()));
        }
        for (unsigned i = 0; i < flags.uses("-in"); ++i) {
            indices.emplace_back();
            ANIM_CHECK(parseRange(command, "-index", flags.arg("-in", i), indices.back()));
        }
        return MS::kSuccess;
    }
    bool picks(double uiInput, size_t index) const
    {
        if (times.empty() && indices.empty())
            return true;
        for (const Range& r : times)
            if (r.contains(uiInput))
                return true;
        for (const Range& r : indices)
            if (r.contains(double(index)))
                return true;
        return false;
    }
};

// Units of a curve's inputs and values as MEL shows them.
MFnUnitAttribute::Type valueUnit(AnimCurveNode::Kind kind)
{
    switch (kind) {
    case AnimCurveNode::kTL:
    case AnimCurveNode::kUL: return MFnUnitAttribute::kDistance;
    case AnimCurveNode::kTA:
    case AnimCurveNode::kUA: return MFnUnitAttribute::kAngle;
    default: return MFnUnitAttribute::kInvalid;
    }
}

double uiInput(AnimCurveNode::Kind kind, double input)
{
    return AnimCurveNode::isTimeInput(kind) ? PlugValue::uiValue(MFnUnitAttribute::kTime, input) : input;
}

double internalInput(AnimCurveNode::Kind kind, double ui)
{
    return AnimCurveNode::isTimeInput(kind) ? MTime(ui, MTime::uiUnit()).as(MTime::kSeconds) : ui;
}

// One internal-unit value per UI-unit value (a distance in the UI unit, an angle in degrees ...).
double internalPerUi(AnimCurveNode::Kind kind)
{
    switch (valueUnit(kind)) {
    case MFnUnitAttribute::kDistance: return MDistance(1.0, MDistance::uiUnit()).as(MDistance::internalUnit());
    case MFnUnitAttribute::kAngle: return MAngle(1.0, MAngle::uiUnit()).as(MAngle::internalUnit());
    default: return 1.0;
    }
}

double uiValue(AnimCurveNode::Kind kind, double value)
{
    const MFnUnitAttribute::Type unit = valueUnit(kind);
    return unit == MFnUnitAttribute::kInvalid ? value : PlugValue::uiValue(unit, value);
}

// What a key command acts on: a plug (with the curve feeding it, if any) or a curve named alone.
struct KeyTarget
{
    MPlug plug;
    MObject curve;
    bool named = false;  // the plug was named (as "node.attr" or with -at), not found among keyable ones
};

MObject curveFeeding(const MPlug& plug)
{
    AnimCurveNode::Kind kind;
    const MPlug source = plug.source();
    return !source.isNull() && AnimCurveNode::kindOf(source.node(), kind) ? source.node() : MObject();
}

bool isKeyableValue(const MPlug& plug)
{
    const PlugValue::Kind kind = PlugValue::kindOf(plug);
    return kind >= PlugValue::kBool && kind <= PlugValue::kAngle && !plug.isArray();
}

// A plug and, for a compound such as "translate", its children.
void addLeaves(const MPlug& plug, std::vector<MPlug>& out)
{
    if (plug.isCompound()) {
        for (unsigned i = 0; i < plug.numChildren(); ++i)
            addLeaves(plug.child(i), out);
        return;
    }
    if (isKeyableValue(plug))
        out.push_back(plug);
}

// The keyable single values of a node, in attribute order.
void keyableLeaves(const MObject& node, std::vector<MPlug>& out)
{
    const Node* n = nodeOf(node);
    for (Attribute* attribute : n->attrs) {
        const MPlug plug(node, ObjectAccess::make(attribute));
        if (plug.isArray())
            continue;
        std::vector<MPlug> leaves;
        addLeaves(plug, leaves);
        for (const MPlug& leaf : leaves)
            if (leaf.isKeyable())
                out.push_back(leaf);
    }
}

MStatus collectTargets(const char* command, const CommandFlags& flags, bool keying, std::vector<KeyTarget>& targets)
{
    std::vector<MString> words = flags.objects();
    MSelectionList nodes;
    for (const MString& word : words) {
        MPlug plug;
        if (std::string(word.asChar()).find('.') != std::string::npos && SceneNames::exists(word)) {
            ANIM_CHECK(SceneNames::findPlug(command, word, plug));
            std::vector<MPlug> leaves;
            addLeaves(plug, leaves);
            if (leaves.empty())
                return fail(command, word + " is not a value that can be keyed.");
            for (const MPlug& leaf : leaves)
                targets.push_back({leaf, curveFeeding(leaf), true});
            continue;
        }
        ANIM_CHECK(SceneNames::addMatches(command, word, nodes));
    }
    if (words.empty())
        ANIM_CHECK(MGlobal::getActiveSelectionList(nodes));
    for (unsigned i = 0; i < nodes.length(); ++i) {
        MObject node;
        ANIM_CHECK(nodes.getDependNode(i, node));
        AnimCurveNode::Kind kind;
        if (AnimCurveNode::kindOf(node, kind)) {
            targets.push_back({MPlug(), node, true});
            continue;
        }
        std::vector<MPlug> plugs;
        if (flags.isSet("-at")) {
            MFnDependencyNode fn(node);
            for (unsigned a = 0; a < flags.uses("-at"); ++a) {
                const MString name = flags.arg("-at", a);
                MStatus status;
                const MPlug plug = fn.findPlug(name, false, &status);
                if (!status || plug.isNull())
                    return fail(command, SceneNames::nodeName(node) + " has no attribute \"" + name + "\".");
                addLeaves(plug, plugs);
            }
        } else {
            keyableLeaves(node, plugs);
        }
        for (const MPlug& plug : plugs) {
            const MObject curve = curveFeeding(plug);
            if (keying || !curve.isNull())
                targets.push_back({plug, curve, flags.isSet("-at")});
        }
    }
    if (targets.empty() && keying)
        return fail(command, "nothing to key: name or select objects or attributes.");
    return MS::kSuccess;
}

int tangentFlag(const char* command, const CommandFlags& flags, const char* flag, MStatus& status)
{
    status = MS::kSuccess;
    if (!flags.isSet(flag))
        return -1;
    const MString name = flags.arg(flag);
    const int type = TangentType::fromName(name.asChar());
    if (type < 0)
        status = fail(command, MString("unknown tangent type \"") + name + "\".");
    return type;
}

AnimCurveNode::Kind curveKindFor(const MPlug& plug)
{
    switch (PlugValue::kindOf(plug)) {
    case PlugValue::kDistance: return AnimCurveNode::kTL;
    case PlugValue::kAngle: return AnimCurveNode::kTA;
    default: return AnimCurveNode::kTU;
    }
}

// Maya's name for a new curve: the node's name (no namespace) and the attribute's.
MString curveName(const MPlug& plug)
{
    MString node = MFnDependencyNode(plug.node()).name();
    const int colon = node.rindex(':');
    if (colon >= 0)
        node = node.substring(colon + 1, int(node.length()) - 1);
    return node + "_" + MFnAttribute(plug.attribute()).name();
}

} // namespace

MStatus SetKeyframeCommand::doIt(const MArgList& args)
{
    static const CommandFlags::Definition kFlags[] = {
        {"-at", "-attribute", CommandFlags::kOneArg},   {"-t", "-time", CommandFlags::kOneArg},
        {"-v", "-value", CommandFlags::kOneArg},        {"-itt", "-inTangentType", CommandFlags::kOneArg},
        {"-ott", "-outTangentType", CommandFlags::kOneArg}, {"-bd", "-breakdown", CommandFlags::kOptionalBool},
        {"-i", "-insert", CommandFlags::kNoArg},
    };
    const char* const command = "setKeyframe";
    CommandFlags flags;
    ANIM_CHECK(flags.parse(command, args, kFlags));
    MStatus status;
    const int inType = tangentFlag(command, flags, "-itt", status);
    ANIM_CHECK(status);
    const int outType = tangentFlag(command, flags, "-ott", status);
    ANIM_CHECK(status);
    std::vector<double> times;  // UI time units
    for (unsigned i = 0; i < flags.uses("-t"); ++i) {
        double t = 0;
        if (!ValueText::parseDouble(flags.arg("-t", i), t) || !std::isfinite(t))
            return fail(command, MString("-time takes a time, not \"") + flags.arg("-t", i) + "\".");
        times.push_back(t);
    }
    const bool timesGiven = !times.empty();
    if (!timesGiven)
        times.push_back(MAnimControl::currentTime().as(MTime::uiUnit()));
    double given = 0;
    if (flags.isSet("-v") && (!ValueText::parseDouble(flags.arg("-v"), given) || !std::isfinite(given)))
        return fail(command, MString("-value takes a number, not \"") + flags.arg("-v") + "\".");

    std::vector<KeyTarget> targets;
    ANIM_CHECK(collectTargets(command, flags, true, targets));
    int keysSet = 0;
    for (const KeyTarget& target : targets) {
        const MString name = target.plug.isNull() ? SceneNames::nodeName(target.curve) : SceneNames::plugName(target.plug);
        if (!target.plug.isNull() && target.curve.isNull()) {
            if (target.plug.isLocked())
                return fail(command, name + " is locked and cannot be keyed.");
            if (target.plug.isDestination()) {
                if (target.named)
                    return fail(command, name + " is driven by a connection and cannot be keyed.");
                continue;  // driven by something else: not a key's to set
            }
        }
        const AnimCurveNode::Kind kind = [&] {
            AnimCurveNode::Kind k;
            return !target.curve.isNull() && AnimCurveNode::kindOf(target.curve, k) ? k : curveKindFor(target.plug);
        }();
        KeyTable table;
        AnimCurveMath current;
        if (!target.curve.isNull()) {
            ANIM_CHECK(readKeyTable(target.curve, table));
            ANIM_CHECK(AnimCurveNode::read(target.curve, current));
        }
        // Values first: connecting a new curve changes what the plug reads.
        std::vector<double> values;
        for (double t : times) {
            if (flags.isSet("-v"))
                values.push_back(given * internalPerUi(kind));
            else if (!target.curve.isNull() && (timesGiven || flags.isSet("-i") || target.plug.isNull()))
                values.push_back(current.evaluate(internalInput(kind, t)));
            else
                values.push_back(target.plug.isNull() ? 0.0 : target.plug.asDouble());
        }
        MObject curve = target.curve;
        if (curve.isNull()) {
            auto modifier = std::make_unique<MDGModifier>();
            curve = modifier->createNode(AnimCurveNode::typeNameOf(kind), &status);
            ANIM_CHECK(status);
            const AnimCurveNode::Attributes& a = AnimCurveNode::attributesOf(kind);
            ANIM_CHECK(modifier->renameNode(curve, curveName(target.plug)));
            ANIM_CHECK(modifier->newPlugValueShort(MPlug(curve, a.tangentType), short(TangentType::kAuto)));
            ANIM_CHECK(modifier->newPlugValueBool(MPlug(curve, a.weightedTangents), false));
            ANIM_CHECK(modifier->connect(MPlug(curve, a.output), target.plug));
            ANIM_CHECK(mEdits.addModifier(std::move(modifier)));
        }
        // Whole numbers and switches hold their value until the next key.
        const PlugValue::Kind plugKind = target.plug.isNull() ? PlugValue::kDouble : PlugValue::kindOf(target.plug);
        const bool stepped = plugKind == PlugValue::kBool || plugKind == PlugValue::kInteger || plugKind == PlugValue::kEnum;
        for (size_t i = 0; i < times.size(); ++i) {
            const double input = internalInput(kind, times[i]);
            auto it = std::find_if(table.begin(), table.end(), [&](const StoredKey& k) { return k.input == input; });
            if (it == table.end()) {
                StoredKey key;
                key.input = input;
                key.outType = stepped ? TangentType::kStep : -1;
                it = table.insert(std::upper_bound(table.begin(), table.end(), input,
                                                   [](double x, const StoredKey& k) { return x < k.input; }),
                                  key);
            }
            it->value = values[i];
            if (inType >= 0)
                it->inType = inType;
            if (outType >= 0)
                it->outType = outType;
            if (flags.isSet("-bd"))
                it->breakdown = flags.boolValue("-bd", false) ? 1 : 0;
            ++keysSet;
        }
        ANIM_CHECK(mEdits.changeTable(curve, table));
    }
    setResult(keysSet);
    return MS::kSuccess;
}

MStatus KeyframeCommand::doIt(const MArgList& args)
{
    // -valueChange and -timeChange take a value when editing and none when queried.
    const CommandFlags::Arity change = isQueryCall(args) ? CommandFlags::kNoArg : CommandFlags::kOneArg;
    const CommandFlags::Definition kFlags[] = {
        {"-q", "-query", CommandFlags::kNoArg},          {"-e", "-edit", CommandFlags::kNoArg},
        {"-at", "-attribute", CommandFlags::kOneArg},    {"-t", "-time", CommandFlags::kOneArg},
        {"-in", "-index", CommandFlags::kOneArg},        {"-vc", "-valueChange", change},
        {"-tc", "-timeChange", change},                  {"-iv", "-indexValue", CommandFlags::kNoArg},
        {"-kc", "-keyframeCount", CommandFlags::kNoArg}, {"-n", "-name", CommandFlags::kNoArg},
        {"-r", "-relative", CommandFlags::kNoArg},       {"-a", "-absolute", CommandFlags::kNoArg},
    };
    const char* const command = "keyframe";
    CommandFlags flags;
    ANIM_CHECK(flags.parse(command, args, kFlags));
    KeyPick pick;
    ANIM_CHECK(pick.parse(command, flags));
    std::vector<KeyTarget> targets;
    ANIM_CHECK(collectTargets(command, flags, false, targets));
    if (flags.isQuery()) {
        MDoubleArray numbers;
        MIntArray indices;
        MStringArray names;
        int count = 0;
        const bool times = flags.isSet("-tc") || !flags.isSet("-vc");
        for (const KeyTarget& target : targets) {
            AnimCurveNode::Kind kind;
            AnimCurveNode::kindOf(target.curve, kind);
            KeyTable table;
            ANIM_CHECK(readKeyTable(target.curve, table));
            bool picked = false;
            for (size_t i = 0; i < table.size(); ++i) {
                const double input = uiInput(kind, table[i].input);
                if (!pick.picks(input, i))
                    continue;
                picked = true;
                ++count;
                indices.append(int(i));
                if (times)
                    numbers.append(input);
                if (flags.isSet("-vc"))
                    numbers.append(uiValue(kind, table[i].value));
            }
            const MString name = SceneNames::nodeName(target.curve);
            bool listed = false;
            for (unsigned n = 0; n < names.length(); ++n)
                listed = listed || names[n] == name;
            if (picked && !listed)
                names.append(name);
        }
        if (flags.isSet("-kc"))
            setResult(count);
        else if (flags.isSet("-n"))
            setResult(names);
        else if (flags.isSet("-iv"))
            setResult(indices);
        else
            setResult(numbers);
        return MS::kSuccess;
    }
    if (!flags.isSet("-e"))
        return fail(command, "give -query or -edit.");
    const bool relative = flags.isSet("-r");
    double valueChange = 0, timeChange = 0;
    const bool changeValues = flags.isSet("-vc"), changeTimes = flags.isSet("-tc");
    if ((changeValues && !ValueText::parseDouble(flags.arg("-vc"), valueChange)) ||
        (changeTimes && !ValueText::parseDouble(flags.arg("-tc"), timeChange)))
        return fail(command, "-valueChange and -timeChange take a number when editing.");
    int changed = 0;
    for (const KeyTarget& target : targets) {
        AnimCurveNode::Kind kind;
        AnimCurveNode::kindOf(target.curve, kind);
        KeyTable table;
        ANIM_CHECK(readKeyTable(target.curve, table));
        int here = 0;
        for (size_t i = 0; i < table.size(); ++i) {
            StoredKey& key = table[i];
            if (!pick.picks(uiInput(kind, key.input), i))
                continue;
            ++here;
            if (changeValues)
                key.value = (relative ? key.value : 0.0) + valueChange * internalPerUi(kind);
            if (changeTimes)
                key.input = relative ? key.input + internalInput(kind, timeChange) - internalInput(kind, 0.0)
                                     : internalInput(kind, timeChange);
        }
        if (!here)
            continue;
        std::stable_sort(table.begin(), table.end(), [](const StoredKey& x, const StoredKey& y) { return x.input < y.input; });
        for (size_t i = 1; i < table.size(); ++i)
            if (table[i].input == table[i - 1].input) {
                mEdits.undo();
                return fail(command, MString("two keys of ") + SceneNames::nodeName(target.curve) +
                                         " would be at the same time.");
            }
        ANIM_CHECK(mEdits.changeTable(target.curve, table));
        changed += here;
    }
    setResult(changed);
    return MS::kSuccess;
}

MStatus CutKeyCommand::doIt(const MArgList& args)
{
    static const CommandFlags::Definition kFlags[] = {
        {"-at", "-attribute", CommandFlags::kOneArg}, {"-t", "-time", CommandFlags::kOneArg},
        {"-in", "-index", CommandFlags::kOneArg},     {"-cl", "-clear", CommandFlags::kNoArg},
    };
    const char* const command = "cutKey";
    CommandFlags flags;
    ANIM_CHECK(flags.parse(command, args, kFlags));
    KeyPick pick;
    ANIM_CHECK(pick.parse(command, flags));
    std::vector<KeyTarget> targets;
    ANIM_CHECK(collectTargets(command, flags, false, targets));
    // Every curve's remaining keys first, so that a curve that cannot go stops the command
    // before anything changed.
    std::vector<std::pair<MObject, KeyTable>> cuts;
    std::vector<MObject> done;
    for (const KeyTarget& target : targets) {
        if (std::find(done.begin(), done.end(), target.curve) != done.end())
            continue;
        done.push_back(target.curve);
        AnimCurveNode::Kind kind;
        AnimCurveNode::kindOf(target.curve, kind);
        KeyTable table, kept;
        ANIM_CHECK(readKeyTable(target.curve, table));
        for (size_t i = 0; i < table.size(); ++i)
            if (!pick.picks(uiInput(kind, table[i].input), i))
                kept.push_back(table[i]);
        if (kept.size() == table.size())
            continue;
        // A curve without keys goes, but one of a referenced file would come back with it.
        if (kept.empty() && MFnDependencyNode(target.curve).isFromReferencedFile())
            return fail(command, MString("cannot cut every key of ") + SceneNames::nodeName(target.curve) +
                                     ": it is a curve of a referenced file.");
        cuts.emplace_back(target.curve, std::move(kept));
    }
    const int curves = static_cast<int>(cuts.size());
    for (auto& [curve, kept] : cuts) {
        if (kept.empty()) {
            // What the curve drove keeps its value.
            auto modifier = std::make_unique<MDGModifier>();
            ANIM_CHECK(modifier->deleteNode(curve));
            ANIM_CHECK(mEdits.addModifier(std::move(modifier)));
        } else {
            ANIM_CHECK(mEdits.changeTable(curve, kept));
        }
    }
    setResult(curves);
    return MS::kSuccess;
}

} // namespace host
