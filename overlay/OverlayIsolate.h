#pragma once
// Isolate select as the overlay sees it: in a view that isolates objects, an overlay is
// interactive only when something it is bound to is isolated, and then it and the hover
// marker join the view's isolate set so that they stay drawn.

#include <maya/MApiNamespace.h>
#include <maya/MObjectHandle.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

class QWidget;

// Whether `object`, or a DAG ancestor of it on any of its paths, is one of `members`.
bool isUnderIsolateMembers(const MSelectionList& members, const MObject& object);

// Adds (`wanted`) or removes the transform of a DAG object to or from an object set. True
// only when the set changed.
bool setIsolateMembership(const MObject& set, const MObject& object, bool wanted);

// The per-view isolate state the overlay mouse filter keeps: which panel a view widget is,
// that panel's isolate set (re-queried at most every 100 ms) and the objects the last gated
// overlay is bound to.
class OverlayIsolateGate
{
public:
    // Nanoseconds of a steady clock; the throttle of the isolate query reads it.
    using Clock = int64_t (*)();
    static int64_t steadyNanoseconds();

    explicit OverlayIsolateGate(Clock clock = &steadyNanoseconds) : clock_(clock) {}

    // True when `node` may be picked in the view of `widget`; keeps the overlay and the hover
    // marker in the view's isolate set exactly when it may. Leaves the isolate context current
    // when the view isolates and the node is visible there.
    bool syncIsolateForView(QWidget* widget, const MObject& node);

    // Forgets what was learnt about a view widget (the mouse entered it again).
    void forgetPanel(QWidget* widget);

    // The isolate context the last gate call left: an alive set, its panel and members.
    bool hasCurrentIsolate() const;
    const MObjectHandle& isolateSetCurrent() const { return isolateSetCurrent_; }
    const MString& isolatePanel() const { return isolatePanel_; }
    const MSelectionList& isolateMembers() const { return isolateMembers_; }

    // While hovering in an isolating view: keeps the hover marker in the current isolate set,
    // updating the panel when that changed the set.
    void keepMarkerIsolated();

private:
    struct PanelCacheEntry
    {
        MString panelName;
        MObjectHandle isolateSet;
        int64_t refreshTime = 0;
        bool valid = false;
    };

    struct RelatedCache
    {
        MObjectHandle node;
        uint64_t topologyCounter = 0;
        uint64_t geometryCounter = 0;
        uint32_t patchControlCount = 0;
        uint32_t trackedShapeControlCount = 0;
        std::vector<MObjectHandle> relatedObjects;
    };

    void refreshRelatedObjects(const MObject& node);
    // Whether the user isolated the overlay itself (or a group above it): it is under the
    // members, and not only through the membership this gate gave it.
    bool isolatedByUser(const MObject& set, const MSelectionList& members, const MObject& node);
    bool addedByGate(const MObject& set, const MObject& node) const;
    void noteAddedByGate(const MObject& set, const MObject& node, bool added);
    // Records whether `node` may be picked in a panel's isolation; true while any live overlay
    // may be, which is when the hover marker belongs in that panel's set.
    bool noteVisibleOverlay(const MString& panelName, const MObject& node, bool visible);

    Clock clock_;
    std::unordered_map<QWidget*, PanelCacheEntry> panelCache_;
    MObjectHandle isolateSetCurrent_;
    MString isolatePanel_;
    MSelectionList isolateMembers_;
    RelatedCache relatedCache_;
    // Overlays last found pickable in an isolating panel, so that one overlay the panel hides
    // does not take the marker out of the set that another still needs it in.
    std::vector<std::pair<MString, MObjectHandle>> visibleOverlays_;
    // Overlays this gate put into an isolate set (the set, then the overlay): their membership
    // says nothing about what the user isolated.
    std::vector<std::pair<MObjectHandle, MObjectHandle>> addedOverlays_;
};
