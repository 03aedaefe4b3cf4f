#pragma once
// How listAttr and attributeQuery describe attributes: the attribute type by
// its MEL name ("double", "double3", "doubleLinear", "enum", "typed" ...), the
// nice name the UI shows, the enum field list, and the dotted path listAttr
// gives children of multi attributes ("instObjGroups.objectGroups").

#include <maya/MString.h>

namespace host {

class Attribute;

MString attributeTypeName(const Attribute* attribute);
// The override given with -niceName, else one made from the long name
// ("rotatePivotX" -> "Rotate Pivot X").
MString attributeNiceName(const Attribute* attribute);
// "a:b=5:c": fields in order, "=value" where a value does not follow the last one.
MString enumFieldList(const Attribute* attribute);
MString listedAttributePath(const Attribute* attribute, bool shortNames);

} // namespace host
