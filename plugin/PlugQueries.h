#pragma once
// Small plug reads the nodes, commands and mouse filters share.

#include <maya/MApiNamespace.h>

// The node feeding a destination plug, or the null object when nothing does.
MObject sourceNodeOf(const MPlug& destination);

// A boolean plug of a node; false when it cannot be read.
bool plugIsOn(const MObject& node, const MObject& attribute);
