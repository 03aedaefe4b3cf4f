#pragma once
// How a DAG path's drawing overrides come out, read as Maya reads them:
// from the path's own node upwards, the first node whose "overrideEnabled"
// is on decides the display type; an enabled override with
// "overrideVisibility" off anywhere on the path hides it. Display layers
// reach their members through the drawInfo -> drawOverride connection.

#include <maya/MDagPath.h>

namespace host {

struct PathDrawOverride
{
    bool enabled = false;  // some node on the path has overrides on
    int displayType = 0;   // 0 normal, 1 template, 2 reference
    bool visible = true;
};

PathDrawOverride drawOverrideOf(const MDagPath& path);

} // namespace host
