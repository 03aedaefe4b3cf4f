#include "commands/builtins/AttributeNames.h"

#include "dg/Attribute.h"

#include <cctype>
#include <string>

namespace host {

namespace {

const char* numericTypeName(MFnNumericData::Type type)
{
    switch (type) {
    case MFnNumericData::kBoolean: return "bool";
    case MFnNumericData::kByte: return "byte";
    case MFnNumericData::kChar: return "char";
    case MFnNumericData::kShort: return "short";
    case MFnNumericData::kLong: return "long";
    case MFnNumericData::kInt64: return "int64";
    case MFnNumericData::kFloat: return "float";
    case MFnNumericData::kDouble: return "double";
    case MFnNumericData::kAddr: return "addr";
    case MFnNumericData::k2Short: return "short2";
    case MFnNumericData::k3Short: return "short3";
    case MFnNumericData::k2Long: return "long2";
    case MFnNumericData::k3Long: return "long3";
    case MFnNumericData::k2Float: return "float2";
    case MFnNumericData::k3Float: return "float3";
    case MFnNumericData::k2Double: return "double2";
    case MFnNumericData::k3Double: return "double3";
    case MFnNumericData::k4Double: return "double4";
    default: return "";
    }
}

} // namespace

MString attributeTypeName(const Attribute* a)
{
    switch (a->attrKind) {
    case AttrKind::Numeric: return numericTypeName(a->numericType);
    case AttrKind::Compound: return a->isNumericCompound() ? numericTypeName(a->numericType) : "compound";
    case AttrKind::Typed: return "typed";
    case AttrKind::Matrix: return a->matrixType == MFnMatrixAttribute::kFloat ? "fltMatrix" : "matrix";
    case AttrKind::Enum: return "enum";
    case AttrKind::Message: return "message";
    case AttrKind::Generic: return "generic";
    case AttrKind::Unit: {
        const bool single = a->numericType == MFnNumericData::kFloat;
        switch (a->unitType) {
        case MFnUnitAttribute::kAngle: return single ? "floatAngle" : "doubleAngle";
        case MFnUnitAttribute::kTime: return "time";
        default: return single ? "floatLinear" : "doubleLinear";
        }
    }
    }
    return "";
}

MString attributeNiceName(const Attribute* a)
{
    if (a->niceName.length() > 0)
        return a->niceName;
    const std::string name = a->name.asChar();
    std::string nice;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const unsigned char before = i > 0 ? static_cast<unsigned char>(name[i - 1]) : 0;
        if (c == '_') {
            if (!nice.empty() && nice.back() != ' ')
                nice += ' ';
            continue;
        }
        const bool wordStart = i > 0 && ((std::isupper(c) && (std::islower(before) || std::isdigit(before))) ||
                                         (std::isdigit(c) && std::isalpha(before)));
        if (wordStart && nice.back() != ' ')
            nice += ' ';
        nice += nice.empty() || nice.back() == ' ' ? char(std::toupper(c)) : char(c);
    }
    return MString(nice.c_str());
}

MString enumFieldList(const Attribute* a)
{
    MString fields;
    short expected = 0;
    for (size_t i = 0; i < a->enumFields.size(); ++i) {
        if (i > 0)
            fields += ":";
        fields += a->enumFields[i].first;
        if (a->enumFields[i].second != expected) {
            fields += "=";
            fields += static_cast<int>(a->enumFields[i].second);
        }
        expected = static_cast<short>(a->enumFields[i].second + 1);
    }
    return fields;
}

MString listedAttributePath(const Attribute* a, bool shortNames)
{
    const MString own = shortNames ? a->shortName : a->name;
    bool underMulti = false;
    for (const Attribute* p = a->parent; p; p = p->parent)
        underMulti = underMulti || p->is(kArray);
    if (!underMulti || !a->parent)
        return own;
    return listedAttributePath(a->parent, shortNames) + "." + own;
}

} // namespace host
