#pragma once
// Plug values as setAttr takes them, getAttr returns them and scene files
// write them. Values are in UI units (centimetres, degrees, frames), as MEL
// shows them; typed values carry their MEL type name ("double3",
// "Int32Array", "stringArray", "matrix", "mesh", "nurbsCurve" ...).

#include <maya/MDGModifier.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>
#include <vector>

namespace host {

class Attribute;

class PlugValue
{
public:
    enum Kind {
        kUnsupported,     // values the host cannot write as text (meshes, generic data ...)
        kMessage,         // connections only
        kBool,
        kInteger,         // byte, char, short, long, int64
        kEnum,
        kFloat,
        kDouble,
        kDistance,
        kAngle,
        kTime,
        kNumericCompound, // double3, float2 ... (children hold the components)
        kCompound,        // other compounds: their children are set one by one
        kString,
        kStringArray,
        kIntArray,
        kDoubleArray,
        kMatrix,
        kMatrixArray,
        kMesh,            // mesh data, as Maya's "mesh" value
        kNurbsCurve,      // curve data, as a "nurbsCurve" value
        kPointArray,      // points x y z w, as a "pointArray" value
        kComponentList,   // component names, as a "componentList" value
        kGeneric
    };

    static Kind kindOf(const Attribute* attribute);

    // A value in internal units (centimetres, radians, seconds) in UI units,
    // with the fewest digits that convert back to exactly the same value
    // (30 degrees, not 29.999999999999996).
    static double uiValue(MFnUnitAttribute::Type unit, double internal);
    static Kind kindOf(const MPlug& plug);
    // Kind of a MEL data type name given with "-type"; kUnsupported when unknown.
    static Kind kindOfTypeName(const MString& typeName, unsigned& components);
    // MEL type name written with "-type" for a plug ("double3", "Int32Array"); empty for scalars.
    static MString typeName(const MPlug& plug);

    // Reads one value for `plug` from words[pos...] (advancing pos) and
    // queues it on `modifier`. `typeName` is the "-type" argument or empty.
    // Errors are reported as "<command>: ...".
    static MStatus parse(const char* command, const MPlug& plug, const MString& typeName,
                         const std::vector<MString>& words, size_t& pos, MDGModifier& modifier);

    // Number of elements of an array plug or of a typed array value; false
    // for plugs that are neither.
    static bool arraySize(const MPlug& plug, unsigned& size);

    // Sets the current command's result to the plug's value (getAttr).
    static MStatus setResult(const char* command, const MPlug& plug, bool asString);

    // Appends the value as setAttr writes it after the plug name
    // (" -type \"double3\" 1 2 3" or " 5"); false when the value cannot be written.
    static bool format(const MPlug& plug, std::string& out);
    // Appends only the value words of a scalar or numeric-compound plug
    // (" 1 2 3"), as the multi-element form "setAttr -s 4 .a[0:3] ..." lists them.
    static bool formatWords(const MPlug& plug, std::string& out);
    // Whether plugs of this kind can share one multi-element setAttr.
    static bool isGroupable(Kind kind) { return (kind >= kBool && kind <= kTime) || kind == kNumericCompound; }
    // A compound whose children are all single values (an animation curve's key: time and value):
    // set, shown and written as its children's values in order, like a numeric compound.
    static bool isScalarCompound(const Attribute* attribute);
};

} // namespace host
