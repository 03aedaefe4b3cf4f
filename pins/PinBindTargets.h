#pragma once
// What "surfacePinBind" and "surfaceUVPinBind" bind: the mesh and the controls, named on a
// new node or added to an existing one, checked before anything is queued so that every
// refusal names the command, the cause and the object.

#include <maya/MApiNamespace.h>
#include <maya/MDGModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <initializer_list>

namespace PinCommandSupport {

struct PinBindTargets
{
    MObject node;  // the existing node when adding to one
    MDagPath meshShape;
    MDagPath meshTransform;
    MDagPathArray controls;  // every control of the node, in pin order
    unsigned existingControlCount = 0;
    bool existingIndicesDense = true;  // the existing controls sit on elements 0 .. count - 1
    bool meshGiven = false;            // an existing node gets this mesh instead of its own
};

// A new node's mesh (the first name) and controls (the others).
MStatus gatherNewTargets(const MString& command, const MStringArray& names, PinBindTargets& targets);

// An existing node of `nodeType` by name, its mesh and its controls in pin order, then the
// named objects: a first one that is a mesh replaces the node's mesh, the rest are new
// controls (one the node already drives is skipped with a warning).
MStatus gatherExistingTargets(const MString& command, const MString& nodeType, const MString& nodeName,
                              const MStringArray& names, PinBindTargets& targets);

// How a pin command takes over a control from `first` on: through its "offsetParentMatrix"
// (zeroing translate and rotate, unit scale) or its translate channels, and whether it frees
// the control's translate inputs first.
enum class ControlDrive
{
    kMatrix,
    kMatrixFreeingTranslate,
    kTranslate,
};

// Refuses controls the pin cannot take: the mesh itself or a parent of it (the pin would move
// its own mesh), and channels it must set or connect that are locked or driven by others.
MStatus checkControls(const MString& command, const PinBindTargets& targets, unsigned first, ControlDrive drive);

// Refuses an existing node whose bind data the command rewrites when a plug of it is locked
// or driven by something else.
MStatus checkBindPlugs(const MString& command, const MObject& node, std::initializer_list<const char*> attributes);

// Queues the node's inputs for every control: the inverse matrices connected afresh (pin
// numbers may have moved), then the mesh when the node is new or gets another one.
MStatus queueNodeInputs(MDGModifier& modifier, const PinBindTargets& targets, bool newNode, bool useInverse);

} // namespace PinCommandSupport
