#pragma once
// The on-screen readout of what the animator is changing on a control: the transform group and
// axes that moved, or the user attributes that changed, shown for 0.9 s after the last change.
// Shared by the shape-control drawing (key prefix "shape:") and the patch overlay ("patch:").
// Safe to call from several draw-preparation threads at once.

#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MString.h>
#include <maya/MUIDrawManager.h>

struct TransformReadout
{
    bool hasText = false;
    bool showSlider = false;
    bool showRangeLabels = false;
    float color[4] = {1.0f, 0.95f, 0.55f, 0.95f};
    MString text;
    MString minLabel;
    MString maxLabel;
    int sliderKind = 0;
    double sliderValue = 0.0;
    double sliderReference = 0.5;
    double holdSeconds = 0.0;  // how long the readout stays without a new change
};

struct PatchReadout
{
    bool hasText = false;
    MString text;
    float color[4] = {1.0f, 0.95f, 0.55f, 0.95f};
    double holdSeconds = 0.0;  // how long the readout stays without a new change
};

// Compares the transform's channels and the user attributes of the transform and shape with
// the previous call for the same prefix and path, and fills `readout` when something changed
// (or a recent change is still held). The first call for a transform only records it. An
// inactive call drops the held readout, and the next active call only records again. A change
// that is not `manipulated` (a script, an undo, a new frame) is recorded but not shown, and
// ends any hold.
bool buildTransformReadout(const MDagPath& transformPath, const MObject& shapeNode, bool active,
                           bool showTransformChannels, const MString& prefix, TransformReadout& readout,
                           bool manipulated = true);

// The readout of a patch's control, keyed "patch:"; true when there is text to show.
bool buildPatchReadout(const MDagPath& transformPath, const MObject& node, PatchReadout& result);

// Draws one readout text box (dark background, brightened text).
void drawReadoutText(MHWRender::MUIDrawManager& drawManager, const MPoint& position, const MString& text,
                     const MColor& color, unsigned int fontSize, MHWRender::MUIDrawManager::TextAlignment alignment);

// The same, with the box and font kept within a view of that size (device pixels).
void drawReadoutText(MHWRender::MUIDrawManager& drawManager, const MPoint& position, const MString& text,
                     const MColor& color, unsigned int fontSize, MHWRender::MUIDrawManager::TextAlignment alignment,
                     int viewWidth, int viewHeight);
