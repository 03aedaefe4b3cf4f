#pragma once
// This program's own build of one of the plug-in's locator types with its draw override,
// registered as a plug-in would register it and taken out again with everything made of it:
// for tests that drive the module's pieces (the hovered control, the marker state) directly.

#include "PluginTestSupport.h"

#include "dg/Registry.h"
#include "hoverMarker/HoverMarkerDrawOverride.h"
#include "hoverMarker/HoverMarkerNode.h"
#include "shapeControl/ShapeControl.h"
#include "shapeControl/ShapeControlDrawOverride.h"
#include "shapeControl/ShapeControlMouseFilter.h"
#include "shapeControl/ShapeControlRegistry.h"
#include "viewport/FrameRenderer.h"

#include <maya/MDrawRegistry.h>

class OwnLocatorType
{
public:
    OwnLocatorType(const char* plugin, const MString& name, const MTypeId& id, host::NodeCreatorFunction creator,
                   host::NodeInitializeFunction initialize, const char* classification,
                   MHWRender::MDrawRegistry::DrawOverrideCreator drawCreator)
        : fPlugin(plugin), fClassification(classification), fId(id)
    {
        EXPECT_FALSE(isPellixLoaded()) << "the test registers " << name.asChar() << " itself";
        EXPECT_TRUE(mel("file -force -new"));
        host::NodeTypeInfo info;
        info.name = name;
        info.id = id;
        info.creator = creator;
        info.initialize = initialize;
        info.type = MPxNode::kLocatorNode;
        info.classification = classification;
        info.pluginName = plugin;
        EXPECT_TRUE(host::registerNodeType(info));
        EXPECT_TRUE(MHWRender::MDrawRegistry::registerDrawOverrideCreator(classification, plugin, drawCreator));
    }

    ~OwnLocatorType()
    {
        mel("file -force -new");
        host::releaseOverrides(fPlugin);
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(fClassification, fPlugin);
        host::deregisterNodeType(fId);
    }

private:
    const char* fPlugin;
    const char* fClassification;
    MTypeId fId;
};

// The shape control; as in the plug-in, the first control made installs the hover's filter.
struct OwnShapeControlType : OwnLocatorType
{
    explicit OwnShapeControlType(const char* plugin)
        : OwnLocatorType(plugin, ShapeControl::typeName, ShapeControl::id, &ShapeControl::creator,
                         &ShapeControl::initialize, "drawdb/geometry/shapeControl", &ShapeControlDrawOverride::creator)
    {
        setShapeControlCreatedCallback(installShapeControlMouseFilter);
    }

    ~OwnShapeControlType()
    {
        // No hover is left for the next test.
        setHoveredShapeControl(MObject(), false);
        removeShapeControlMouseFilter();
        setShapeControlCreatedCallback(nullptr);
    }
};

struct OwnHoverMarkerType : OwnLocatorType
{
    explicit OwnHoverMarkerType(const char* plugin)
        : OwnLocatorType(plugin, HoverMarkerNode::typeName, HoverMarkerNode::id, &HoverMarkerNode::creator,
                         &HoverMarkerNode::initialize, "drawdb/geometry/hoverMarker", &HoverMarkerDrawOverride::creator)
    {
    }
};
