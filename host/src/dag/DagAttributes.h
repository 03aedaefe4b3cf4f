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
    static MObject drawOverride;        // overrideDisplayType, overrideEnabled, overrideVisibility,
                                        // overrideRGBColors, overrideColor, overrideColorRGB
    static MObject overrideDisplayType; // 0 normal, 1 template, 2 reference
    static MObject overrideEnabled;
    static MObject overrideVisibility;
    static MObject overrideRGBColors;   // the colour is overrideColorRGB, else the index overrideColor
    static MObject overrideColor;       // 0 (none) or an entry of the colour index palette, 1..31
    static MObject overrideColorRGB;

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
    // The drawing-override colour trio: the RGB switch, the palette index and the RGB colour, under
    // the names a DAG node's "drawOverride" (names[0..2] = overrideRGBColors, overrideColor,
    // overrideColorRGB) or a display layer's "drawInfo" (overrideRGBColors, color, ...) use.
    static MStatus createOverrideColour(const char* const names[3], const char* const shortNames[3],
                                        MObject& rgbSwitch, MObject& index, MObject& rgb);
    // Matrix attribute; outputs are read-only, not stored, and arrays when per instance.
    static MObject createMatrix(const MString& name, const MString& shortName, bool output, bool perInstance,
                                MStatus& status);
};

} // namespace host
