#include "shapeControl/TransformReadout.h"

#include "shapeControl/ReadoutText.h"

#include <maya/M3dView.h>
#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MFn.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MTime.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

using ReadoutText::ExtraEntry;

const char* const kChannelNames[ReadoutText::kChannelCount] = {
    "translateX", "translateY", "translateZ", "rotateX", "rotateY", "rotateZ", "scaleX", "scaleY", "scaleZ"};

struct Snapshot
{
    MObjectHandle node;  // the transform it was taken of
    double channels[ReadoutText::kChannelCount] = {};
    std::unordered_map<std::string, double> extras;
    bool active = false;
};

struct HeldReadout
{
    TransformReadout readout;
    int64_t holdUntil = 0;
};

// Previous snapshots and held readouts per "prefix + full path". A snapshot belongs to the
// node it was taken of: a node that takes the path later (a new scene, a deleted node's name
// reused, a rename) starts afresh, and snapshots of deleted nodes are swept out as new ones
// come. Draw preparation of several overlays may run at once, so one mutex guards both.
struct ReadoutHistory
{
    std::mutex mutex;
    std::unordered_map<std::string, Snapshot> snapshots;
    std::unordered_map<std::string, HeldReadout> held;
    size_t sweepAt = 64;  // sweep when the snapshots grow to this many
};

// Drops the histories of nodes that are gone; called with the lock held.
void sweepGoneNodes(ReadoutHistory& h)
{
    for (auto it = h.snapshots.begin(); it != h.snapshots.end();) {
        if (it->second.node.isValid()) {
            ++it;
            continue;
        }
        h.held.erase(it->first);
        it = h.snapshots.erase(it);
    }
    h.sweepAt = 2 * h.snapshots.size() + 64;
}

ReadoutHistory& history()
{
    static ReadoutHistory instance;  // released with the module
    return instance;
}

int64_t monotonicNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The channel plug by long name, else by any attribute whose long or short name matches.
bool readChannel(const MFnDependencyNode& node, const char* name, double& value)
{
    MStatus status;
    MPlug plug = node.findPlug(MString(name), true, &status);
    if (!status || plug.isNull()) {
        plug = MPlug();
        const unsigned int count = node.attributeCount(&status);
        for (unsigned int i = 0; status && i < count && plug.isNull(); ++i) {
            MStatus attrStatus;
            const MObject attribute = node.attribute(i, &attrStatus);
            if (!attrStatus) {
                continue;
            }
            MFnAttribute fn(attribute, &attrStatus);
            if (attrStatus && (fn.name() == name || fn.shortName() == name)) {
                plug = node.findPlug(attribute, true, &attrStatus);
                if (!attrStatus) {
                    plug = MPlug();
                }
            }
        }
        if (plug.isNull()) {
            return false;
        }
    }
    const double read = plug.asDouble(&status);
    if (!status) {
        return false;
    }
    value = read;
    return true;
}

// A numeric user attribute's value, type and range; false when it is not one the readout shows.
bool readNumericEntry(const MObject& attribute, const MPlug& plug, ExtraEntry& entry)
{
    MStatus status;
    MFnNumericAttribute fn(attribute, &status);
    if (!status) {
        return false;
    }
    const MFnNumericData::Type type = fn.unitType(&status);
    if (!status) {
        return false;
    }
    const bool isBoolean = type == MFnNumericData::kBoolean;
    switch (type) {
    case MFnNumericData::kBoolean:
    case MFnNumericData::kByte:
    case MFnNumericData::kShort:
    case MFnNumericData::kInt:
        entry.isInteger = true;
        break;
    case MFnNumericData::kFloat:
    case MFnNumericData::kDouble:
        entry.isInteger = false;
        break;
    default:
        return false;
    }
    entry.value = plug.asDouble(&status);
    if (!status) {
        return false;
    }
    if (isBoolean) {
        entry.value = entry.value != 0.0 ? 1.0 : 0.0;
    }

    double defaultValue = 0.0;
    const bool hasDefault = static_cast<bool>(fn.getDefault(defaultValue));
    if (isBoolean) {
        ReadoutText::applyBooleanRange(entry, hasDefault, defaultValue);
        return true;
    }
    double min = 0.0;
    double max = 0.0;
    bool hasMin = false;
    bool hasMax = false;
    if (fn.hasSoftMin()) {
        hasMin = static_cast<bool>(fn.getSoftMin(min));
    }
    if (!hasMin && fn.hasMin()) {
        hasMin = static_cast<bool>(fn.getMin(min));
    }
    if (fn.hasSoftMax()) {
        hasMax = static_cast<bool>(fn.getSoftMax(max));
    }
    if (!hasMax && fn.hasMax()) {
        hasMax = static_cast<bool>(fn.getMax(max));
    }
    ReadoutText::applyNumericRange(entry, hasMin, min, hasMax, max, hasDefault, defaultValue);
    return true;
}

bool readEnumEntry(const MObject& attribute, const MPlug& plug, ExtraEntry& entry)
{
    MStatus status;
    MFnEnumAttribute fn(attribute, &status);
    if (!status) {
        return false;
    }
    entry.value = plug.asShort(&status);
    if (!status) {
        return false;
    }
    entry.isInteger = true;
    short min = 0;
    short max = 0;
    if (fn.getMin(min) && fn.getMax(max)) {
        ReadoutText::applyEnumRange(entry, min, max);
    } else {
        ReadoutText::applyEnumRange(entry, 0.0, 0.0);
    }
    return true;
}

// Angles in degrees, distances and times in the UI unit.
bool readUnitEntry(const MObject& attribute, const MPlug& plug, ExtraEntry& entry)
{
    MStatus status;
    MFnUnitAttribute fn(attribute, &status);
    if (!status) {
        return false;
    }
    const MFnUnitAttribute::Type type = fn.unitType(&status);
    if (!status) {
        return false;
    }
    double defaultValue = 0.0;
    bool hasDefault = false;
    switch (type) {
    case MFnUnitAttribute::kAngle: {
        entry.value = plug.asMAngle(&status).asDegrees();
        MAngle angle;
        hasDefault = static_cast<bool>(fn.getDefault(angle));
        defaultValue = angle.asDegrees();
        break;
    }
    case MFnUnitAttribute::kDistance: {
        entry.value = plug.asMDistance(&status).as(MDistance::uiUnit());
        MDistance distance;
        hasDefault = static_cast<bool>(fn.getDefault(distance));
        defaultValue = distance.as(MDistance::uiUnit());
        break;
    }
    case MFnUnitAttribute::kTime: {
        entry.value = plug.asMTime(&status).as(MTime::uiUnit());
        MTime time;
        hasDefault = static_cast<bool>(fn.getDefault(time));
        defaultValue = time.as(MTime::uiUnit());
        break;
    }
    default:
        return false;
    }
    if (!status) {
        return false;
    }
    entry.isInteger = false;
    ReadoutText::applyUnitRange(entry, hasDefault, defaultValue);
    return true;
}

// User-added attributes of the node that read as a number, in attribute order, skipping names
// already taken.
void gatherExtras(const MObject& node, std::unordered_set<std::string>& taken, std::vector<ExtraEntry>& extras)
{
    MStatus status;
    MFnDependencyNode fnNode(node, &status);
    if (!status) {
        return;
    }
    const unsigned int count = fnNode.attributeCount(&status);
    if (!status) {
        return;
    }
    for (unsigned int i = 0; i < count; ++i) {
        const MObject attribute = fnNode.attribute(i, &status);
        if (!status) {
            continue;
        }
        MFnAttribute fnAttribute(attribute, &status);
        if (!status || !fnAttribute.isDynamic()) {
            continue;
        }
        const MPlug plug = fnNode.findPlug(attribute, true, &status);
        if (!status || plug.isNull() || plug.isCompound() || plug.isArray()) {
            continue;
        }
        ExtraEntry entry;
        entry.name = fnAttribute.name().asChar();
        if (taken.count(entry.name) != 0) {
            continue;
        }
        bool read = false;
        // Enum attributes are numeric ones too, so they are told apart first.
        if (attribute.hasFn(MFn::kEnumAttribute)) {
            read = readEnumEntry(attribute, plug, entry);
        } else if (attribute.hasFn(MFn::kNumericAttribute)) {
            read = readNumericEntry(attribute, plug, entry);
        } else if (attribute.hasFn(MFn::kUnitAttribute)) {
            read = readUnitEntry(attribute, plug, entry);
        }
        if (read) {
            taken.insert(entry.name);
            extras.push_back(entry);
        }
    }
}

// Stored translate and rotate values in the units the user has chosen ("currentUnit").
ReadoutText::ChannelUnits userUnits()
{
    ReadoutText::ChannelUnits units;
    units.translate = MDistance(1.0, MDistance::internalUnit()).as(MDistance::uiUnit());
    units.rotate = MAngle(1.0, MAngle::internalUnit()).as(MAngle::uiUnit());
    return units;
}

void copyReadout(const ReadoutText::Readout& from, TransformReadout& to)
{
    to.hasText = from.hasText;
    to.showSlider = from.showSlider;
    to.showRangeLabels = from.showRangeLabels;
    to.color[0] = from.color.r;
    to.color[1] = from.color.g;
    to.color[2] = from.color.b;
    to.color[3] = from.color.a;
    to.text = MString(from.text.c_str());
    to.minLabel = MString(from.minLabel.c_str());
    to.maxLabel = MString(from.maxLabel.c_str());
    to.sliderKind = from.sliderKind;
    to.sliderValue = from.sliderValue;
    to.sliderReference = from.sliderReference;
}

} // namespace

bool buildTransformReadout(const MDagPath& transformPath, const MObject& shapeNode, bool active,
                           bool showTransformChannels, const MString& prefix, TransformReadout& readout,
                           bool manipulated)
{
    if (!transformPath.isValid()) {
        return false;
    }
    MStatus status;
    const MObject transformNode = transformPath.node(&status);
    if (!status) {
        return false;
    }
    MFnDependencyNode transform(transformNode, &status);
    if (!status) {
        return false;
    }
    const MString fullPath = transformPath.fullPathName(&status);
    if (!status) {
        return false;
    }

    // Plugs are read outside the lock; only the histories are shared.
    Snapshot current;
    for (int c = 0; c < ReadoutText::kChannelCount; ++c) {
        double value = c >= 6 ? 1.0 : 0.0;
        readChannel(transform, kChannelNames[c], value);
        current.channels[c] = value;
    }
    std::unordered_set<std::string> taken;
    std::vector<ExtraEntry> extras;
    gatherExtras(transformNode, taken, extras);
    if (!shapeNode.isNull() && shapeNode != transformNode) {
        gatherExtras(shapeNode, taken, extras);
    }
    for (const ExtraEntry& entry : extras) {
        current.extras[entry.name] = entry.value;
    }
    current.active = active;
    current.node = MObjectHandle(transformNode);

    const std::string key = std::string(prefix.asChar()) + fullPath.asChar();
    ReadoutHistory& h = history();
    std::lock_guard<std::mutex> lock(h.mutex);

    auto found = h.snapshots.find(key);
    if (found != h.snapshots.end() && !(found->second.node == transformNode)) {
        // Another node had this path: nothing it showed belongs to this one.
        h.held.erase(key);
        found->second = std::move(current);
        return false;
    }
    if (found == h.snapshots.end()) {
        if (h.snapshots.size() + 1 >= h.sweepAt) {
            sweepGoneNodes(h);
        }
        h.snapshots.emplace(key, std::move(current));
        return false;
    }
    Snapshot previous = std::move(found->second);
    found->second = std::move(current);
    const Snapshot& now = found->second;

    if (!active || !previous.active) {
        h.held.erase(key);
        return false;
    }

    const int64_t nowNs = monotonicNanoseconds();
    const auto heldEntry = h.held.find(key);
    const bool holdActive = heldEntry != h.held.end() && nowNs < heldEntry->second.holdUntil;

    std::vector<ExtraEntry> changed;
    for (const ExtraEntry& entry : extras) {
        const auto before = previous.extras.find(entry.name);
        if (before != previous.extras.end() && ReadoutText::extraChanged(entry, before->second)) {
            changed.push_back(entry);
        }
    }

    ReadoutText::Readout built;
    if (!manipulated) {
        ReadoutText::Readout unused;
        if (!changed.empty() || ReadoutText::channelReadout(previous.channels, now.channels, unused)) {
            h.held.erase(key);
            return false;
        }
    }
    if (manipulated && !changed.empty()) {
        if (!ReadoutText::extrasReadout(changed, built)) {
            return false;
        }
    } else if (!manipulated || !showTransformChannels ||
               !ReadoutText::channelReadout(previous.channels, now.channels, built, userUnits())) {
        if (!holdActive) {
            return false;
        }
        readout = heldEntry->second.readout;
        readout.holdSeconds = 1e-9 * double(heldEntry->second.holdUntil - nowNs);
        return readout.hasText;
    }

    copyReadout(built, readout);
    readout.holdSeconds = 1e-9 * double(ReadoutText::kHoldNanoseconds);
    HeldReadout& held = h.held[key];
    held.readout = readout;
    held.holdUntil = nowNs + ReadoutText::kHoldNanoseconds;
    return true;
}

bool buildPatchReadout(const MDagPath& transformPath, const MObject& node, PatchReadout& result)
{
    TransformReadout readout;
    if (!buildTransformReadout(transformPath, node, true, true, MString("patch:"), readout)) {
        return false;
    }
    result.hasText = readout.hasText;
    result.text = readout.text;
    result.holdSeconds = readout.holdSeconds;
    for (int i = 0; i < 4; ++i) {
        result.color[i] = readout.color[i];
    }
    return result.hasText && result.text.length() > 0;
}

void drawReadoutText(MHWRender::MUIDrawManager& drawManager, const MPoint& position, const MString& text,
                     const MColor& color, unsigned int fontSize, MHWRender::MUIDrawManager::TextAlignment alignment,
                     int viewWidth, int viewHeight)
{
    const ReadoutText::TextBox box =
        ReadoutText::textBox(text.length(), fontSize, color.r, color.g, color.b, viewWidth, viewHeight);
    const int size[2] = {box.width, box.height};
    const MColor background(box.background.r, box.background.g, box.background.b, box.background.a);
    drawManager.setFontSize(box.fontSize);
    drawManager.setFontWeight(MHWRender::MUIDrawManager::kWeightDemiBold);
    drawManager.setColor(MColor(box.text.r, box.text.g, box.text.b, box.text.a));
    drawManager.text(position, text, alignment, size, &background, false);
}

void drawReadoutText(MHWRender::MUIDrawManager& drawManager, const MPoint& position, const MString& text,
                     const MColor& color, unsigned int fontSize, MHWRender::MUIDrawManager::TextAlignment alignment)
{
    // Without a size from the caller, keep the box within the active view when there is one.
    int viewWidth = 0;
    int viewHeight = 0;
    if (M3dView::numberOf3dViews() > 0) {
        MStatus status;
        M3dView view = M3dView::active3dView(&status);
        if (status) {
            viewWidth = view.portWidth(&status);
            if (status) {
                viewHeight = view.portHeight(&status);
            }
            if (!status) {
                viewWidth = viewHeight = 0;
            }
        }
    }
    drawReadoutText(drawManager, position, text, color, fontSize, alignment, viewWidth, viewHeight);
}
