#pragma once
// The wireframe of a joint as Maya draws it, in the joint's own space: three
// circles of its radius around its origin and, to each child joint, a bone:
// a four-sided pyramid whose base sits at this joint and whose tip is the child.
// "drawStyle" None draws nothing.

#include <maya/MObject.h>

#include <vector>

namespace host {

// Line-segment end points (x y z pairs, for GL_LINES); empty when nothing is drawn.
void jointWireframe(const MObject& joint, std::vector<float>& points);

} // namespace host
