#include "dag/DrawOverrides.h"

#include "dag/DagAttributes.h"

#include <maya/MPlug.h>

namespace host {

namespace {

// Maya's default index colours, 1 to 31.
const float kIndexColors[32][3] = {
    {0.0f, 0.0f, 0.0f},       {0.0f, 0.0f, 0.0f},       {0.25f, 0.25f, 0.25f},    {0.6f, 0.6f, 0.6f},
    {0.608f, 0.0f, 0.157f},   {0.0f, 0.016f, 0.376f},   {0.0f, 0.0f, 1.0f},       {0.0f, 0.275f, 0.098f},
    {0.149f, 0.0f, 0.263f},   {0.784f, 0.0f, 0.784f},   {0.541f, 0.282f, 0.2f},   {0.247f, 0.137f, 0.122f},
    {0.6f, 0.149f, 0.0f},     {1.0f, 0.0f, 0.0f},       {0.0f, 1.0f, 0.0f},       {0.0f, 0.255f, 0.6f},
    {1.0f, 1.0f, 1.0f},       {1.0f, 1.0f, 0.0f},       {0.392f, 0.863f, 1.0f},   {0.263f, 1.0f, 0.639f},
    {1.0f, 0.69f, 0.69f},     {0.894f, 0.675f, 0.475f}, {1.0f, 1.0f, 0.388f},     {0.0f, 0.6f, 0.329f},
    {0.631f, 0.416f, 0.188f}, {0.624f, 0.631f, 0.188f}, {0.408f, 0.631f, 0.188f}, {0.188f, 0.631f, 0.365f},
    {0.188f, 0.631f, 0.631f}, {0.188f, 0.404f, 0.631f}, {0.435f, 0.188f, 0.631f}, {0.631f, 0.188f, 0.416f},
};

MColor colorOf(const MObject& node, const MObject& attribute)
{
    const MPlug plug(node, attribute);
    return MColor(plug.child(0).asFloat(), plug.child(1).asFloat(), plug.child(2).asFloat());
}

} // namespace

MColor indexColor(int index)
{
    if (index < 1 || index > 31)
        return MColor(0.0f, 0.0f, 0.0f);
    return MColor(kIndexColors[index][0], kIndexColors[index][1], kIndexColors[index][2]);
}

bool objectWireColor(const MDagPath& path, MColor& color)
{
    if (!path.isValid())
        return false;
    for (MDagPath p(path); p.length() > 0; p.pop()) {
        MStatus status;
        const MObject node = p.node(&status);
        if (!status)
            break;
        const int use = MPlug(node, DagAttributes::useObjectColor).asInt(&status);
        if (status && use == 2) {
            color = colorOf(node, DagAttributes::wireColorRGB);
            return true;
        }
    }
    return false;
}

PathDrawOverride drawOverrideOf(const MDagPath& path)
{
    PathDrawOverride result;
    if (!path.isValid())
        return result;
    bool decided = false;
    for (MDagPath p(path); p.length() > 0; p.pop()) {
        MStatus status;
        const MObject node = p.node(&status);
        if (!status)
            break;
        if (!MPlug(node, DagAttributes::overrideEnabled).asBool(&status) || !status)
            continue;
        if (!MPlug(node, DagAttributes::overrideVisibility).asBool())
            result.visible = false;
        if (!decided) {
            decided = true;
            result.enabled = true;
            result.displayType = MPlug(node, DagAttributes::overrideDisplayType).asInt();
            if (MPlug(node, DagAttributes::overrideRGBColors).asBool()) {
                result.hasColor = true;
                result.color = colorOf(node, DagAttributes::overrideColorRGB);
            } else if (const int index = MPlug(node, DagAttributes::overrideColor).asInt()) {
                result.hasColor = index >= 1 && index <= 31;
                result.color = indexColor(index);
            }
        }
    }
    return result;
}

} // namespace host
