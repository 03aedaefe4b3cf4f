#pragma once
// Dynamic attributes as addAttr describes them: the attribute types by their
// MEL names ("double", "doubleAngle", "enum", "double3", -dt "Int32Array" ...)
// both ways, so that addAttr creates what the scene writer describes.

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <string>
#include <vector>

namespace host {

class Attribute;

class DynamicAttribute
{
public:
    struct Description
    {
        MString longName;
        MString shortName;
        MString niceName;       // -nn
        MString attributeType;  // -at
        MString dataType;       // -dt
        MString enumNames;      // -en "a:b=4:c"
        bool multi = false;
        bool keyable = false;
        bool hidden = false;
        bool storable = true;
        bool readable = true;
        bool writable = true;
        bool usedAsColor = false;
        bool indexMatters = true;
        int disconnectBehavior = -1;  // -dcb: MFnAttribute::DisconnectBehavior, -1 when not given
        bool hasDefault = false, hasMin = false, hasMax = false, hasSoftMin = false, hasSoftMax = false;
        double defaultValue = 0, minValue = 0, maxValue = 0, softMinValue = 0, softMaxValue = 0;
    };

    // Whether addAttr can make an attribute of this -attributeType or -dataType.
    static bool canCreate(const MString& attributeType, const MString& dataType);

    // Whether the type needs children (-at "compound", "double3" ...), and how many at most.
    static bool isCompoundType(const Description& description, unsigned& maxChildren);

    // Creates the attribute object of a leaf type (not yet on a node).
    // Errors are reported as "<command>: ...".
    static MStatus create(const char* command, const Description& description, MObject& attribute);
    // Creates a compound from its finished children.
    static MStatus createCompound(const char* command, const Description& description,
                                  const std::vector<MObject>& children, MObject& attribute);

    // The addAttr statement that recreates `attribute` (and, for a compound,
    // one per child after it, with -p); false when its type cannot be written.
    static bool describe(const Attribute* attribute, std::string& out);
};

} // namespace host
