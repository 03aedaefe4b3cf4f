#pragma once
// An animation curve's keys as its attributes store them, for the commands
// that edit keys (setKeyframe, keyframe -e, cutKey): read whole, changed,
// written back whole, and swapped back on undo.
//
// Per-key settings a file or command did not give stay absent (a key without
// "keyTanInType" uses the curve's "tangentType"), so writing a table back
// keeps a scene's text as it was.

#include "anim/AnimCurveMath.h"

#include <maya/MDGModifier.h>
#include <maya/MObject.h>
#include <maya/MPxCommand.h>
#include <maya/MStatus.h>

#include <memory>
#include <vector>

namespace host {

struct StoredKey
{
    double input = 0;  // seconds for time curves
    double value = 0;  // internal units
    // -1: not stored.
    int inType = -1, outType = -1;
    int locked = -1, weightLocked = -1, breakdown = -1;
    bool hasInX = false, hasInY = false, hasOutX = false, hasOutY = false;
    float inX = 0, inY = 0, outX = 0, outY = 0;
};

typedef std::vector<StoredKey> KeyTable;

MStatus readKeyTable(const MObject& curve, KeyTable& keys);
// Replaces the curve's keys (and every per-key array) by `keys`, sorted by input.
MStatus writeKeyTable(const MObject& curve, const KeyTable& keys);

// The keys as the curve evaluates them, with the curve's own tangent type for absent types.
void toCurveMath(const KeyTable& keys, int defaultTangentType, AnimCurveMath& curve);

// Undoable key changes of several curves, made one after another: each step
// is either a whole-table change of one curve or a modifier (curves created,
// connected or deleted). Undo runs the steps backwards.
class KeyEdits
{
public:
    KeyEdits();
    ~KeyEdits();
    // A curve's keys change from what it holds now to `after`; applied at once.
    MStatus changeTable(const MObject& curve, const KeyTable& after);
    // Executes a modifier now and keeps it for undo and redo.
    MStatus addModifier(std::unique_ptr<class MDGModifier> modifier);
    bool empty() const;

    MStatus undo();
    MStatus redo();

private:
    struct Step;
    std::vector<std::unique_ptr<Step>> mSteps;
};

} // namespace host
