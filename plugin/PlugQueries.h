#pragma once
// Small plug reads the nodes, commands and mouse filters share.

#include <maya/MApiNamespace.h>

#include <cstdint>
#include <vector>

// The node feeding a destination plug, or the null object when nothing does.
MObject sourceNodeOf(const MPlug& destination);

// A boolean plug of a node; false when it cannot be read.
bool plugIsOn(const MObject& node, const MObject& attribute);

// Source nodes of the elements of a message array, indexed by logical index below `count`
// (null where nothing is connected). Walks the existing elements only, so reading creates
// no elements.
std::vector<MObject> messageSources(const MObject& node, const MObject& attribute, int64_t count);
