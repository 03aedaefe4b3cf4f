#pragma once
// The attributes every DAG node has (visibility, per-instance world
// matrices ...) and those every locator shape adds, registered as inherited
// attribute steps of the node types that are DAG nodes; plus the small
// attribute builders the built-in DAG types share.

#include <maya/MFnUnitAttribute.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

namespace host {

class Attribute;

class DagAttributes
{
public:
    static MObject visibility;
    static MObject lodVisibility;
    static MObject templated;
    static MObject intermediateObject;
    static MObject instObjGroups;
    static MObject objectGroups;
    static MObject objectGroupId;
    static MObject offsetParentMatrix;
    static MObject parentMatrix;
    static MObject parentInverseMatrix;
    static MObject worldMatrix;
    static MObject worldInverseMatrix;
    static MObject hiddenInOutliner;
    static MObject drawOverride;        // the drawing overrides, child for child as a display layer's drawInfo
    static MObject overrideDisplayType; // 0 normal, 1 template, 2 reference
    static MObject overrideEnabled;
    static MObject overrideVisibility;
    static MObject overrideRGBColors;   // overrideColorRGB instead of the overrideColor index
    static MObject overrideColor;       // 0..31, 0: the object's own colour
    static MObject overrideColorRGB;
    static MObject useObjectColor;      // 0 class colour, 1 objectColor (a user colour), 2 wireColorRGB
    static MObject objectColor;
    static MObject wireColorRGB;

    // Registers the steps with the node-type registry (once, at start-up).
    static void registerSteps();

    // Inherited-attribute steps.
    static MStatus addDagAttributes();
    static MStatus addLocatorAttributes();

    // Whether an attribute is one of the per-instance matrices computed from
    // the hierarchy (parentMatrix, worldMatrix and their inverses).
    static bool isHierarchyMatrix(const Attribute* attribute);

    // Builders (keyable flags and defaults as Maya gives them).
    static MObject createBool(const MString& name, const MString& shortName, bool value, bool keyable,
                              MStatus& status);
    static MObject createDouble3(const MString& name, const MString& shortName, const char* const childNames[3],
                                 const char* const childShortNames[3], MFnUnitAttribute::Type unit, double value,
                                 bool keyable, MStatus& status);
    // A compound of drawing settings, a DAG node's "drawOverride" or a display layer's "drawInfo",
    // child for child: display type, level of detail, shading, texturing, playback, enabled,
    // visibility, hide on playback, RGB colours, colour index, colour RGB, colour alpha; each
    // named by `names` (long, short). `enabled` is the enabled child's default.
    static constexpr int kDrawSettings = 12;
    static MObject createDrawSettings(const char* name, const char* shortName,
                                      const char* const names[kDrawSettings][2], bool enabled,
                                      MObject children[kDrawSettings], MStatus& status);
    // A float colour whose channels are named as Maya names them: "overrideColorR" ("ovcr") ...
    static MObject createColor(const char* name, const char* shortName, const char* channelStem,
                               const char* shortStem, MStatus& status);
    // Matrix attribute; outputs are read-only, not stored, and arrays when per instance.
    static MObject createMatrix(const MString& name, const MString& shortName, bool output, bool perInstance,
                                MStatus& status);
};

} // namespace host
