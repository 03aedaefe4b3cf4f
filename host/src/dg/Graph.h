#pragma once
// Connections, dirty propagation and evaluation (pull) on slots.

#include "dg/Node.h"

#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <functional>

namespace host {

// Connects source to destination after the legality checks (readable source,
// writable/connectable destination, compatible types, legalConnection on both
// nodes), replacing nothing: a connected destination fails. Calls
// connectionMade on both ends, fires connection callbacks and dirties the
// destination.
MStatus connect(const MPlug& source, const MPlug& destination);
// Whether the source's data may flow into the destination (same kinds of value; a generic
// destination takes only what it accepts).
bool connectionTypesMatch(const MPlug& source, const MPlug& destination);
MStatus disconnect(const MPlug& source, const MPlug& destination);
// Removes every connection of a slot and its children/elements; appends the
// removed (source, destination) plug pairs to `broken` when given.
// Breaks every connection of the slot and its children and elements. A destination normally
// keeps the value it had (it is evaluated first); clearing the scene skips that evaluation.
void disconnectAll(Slot* slot, std::vector<std::pair<MPlug, MPlug>>* broken, bool keepDestinationValues = true);

// A plug's value changed: its dependents become dirty (see Node.h). The
// slot itself stays clean.
void propagateDirty(Slot* slot);
// Marks the slot itself dirty too (new connection, setDependentsDirty).
void dirtyAndPropagate(Slot* slot);
// Runs `task` once the dirty wave in progress (and any it started) has finished, or now when
// none is: callbacks that read values must not see a wave half done.
void afterDirtyWave(std::function<void()> task);
// Whether the slot or a compound/array above it has an incoming connection.
bool isDestination(Slot* slot);
// Marks a slot clean (and its numeric-compound children).
void setClean(Slot* slot);

// Brings a slot up to date: copies from the connected source or computes. A compute may
// rebuild arrays and so free slots: `slot` is updated to the plug's slot afterwards (null
// only when the plug no longer resolves).
MStatus evaluate(Slot*& slot);

// Numeric read/write with conversion between numeric kinds. Writes through
// setNumeric apply the attribute's hard limits when `clamp` is set.
double getNumeric(Slot* slot, int component = 0);
void setNumeric(Slot* slot, double value, int component = 0, bool clamp = false);
// Value written by a plug (after the slot was written): checks lock and
// connection, marks clean, propagates dirty, fires attribute-changed.
MStatus beginPlugWrite(const MPlug& plug, Slot*& slot);
void endPlugWrite(const MPlug& plug, Slot* slot);

} // namespace host
