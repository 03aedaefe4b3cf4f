#pragma once
// How a DAG path's drawing overrides come out, read as Maya reads them:
// from the path's own node upwards, the first node whose "overrideEnabled"
// is on decides the display type; an enabled override with
// "overrideVisibility" off anywhere on the path hides it. Display layers
// reach their members through the drawInfo -> drawOverride connection.

#include <maya/MColor.h>
#include <maya/MDagPath.h>

namespace host {

struct PathDrawOverride
{
    bool enabled = false;  // some node on the path has overrides on
    int displayType = 0;   // 0 normal, 1 template, 2 reference
    bool visible = true;
    // The deciding node's colour: "overrideColorRGB" with "overrideRGBColors", else a
    // non-zero "overrideColor" index into Maya's palette.
    bool hasColor = false;
    MColor color;
};

PathDrawOverride drawOverrideOf(const MDagPath& path);

// Maya's 32 index colours ("overrideColor", a display layer's "color"); 0 has none.
MColor indexColor(int index);

// The dormant wireframe colour a node on the path was given (`color -rgb`: the
// nearest node whose "useObjectColor" is 2 gives its "wireColorRGB").
bool objectWireColor(const MDagPath& path, MColor& color);

} // namespace host
