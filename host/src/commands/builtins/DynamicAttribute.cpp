#include "commands/builtins/DynamicAttribute.h"

#include "commands/builtins/PlugValue.h"
#include "commands/builtins/ValueText.h"
#include "commands/mel/MelValue.h"
#include "dg/Attribute.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

#include <cstring>

namespace host {

namespace {

struct NumericName
{
    const char* name;
    MFnNumericData::Type type;
    unsigned children;  // numeric compounds
};

const NumericName kNumericNames[] = {
    {"bool", MFnNumericData::kBoolean, 0}, {"byte", MFnNumericData::kByte, 0},
    {"char", MFnNumericData::kChar, 0},    {"short", MFnNumericData::kShort, 0},
    {"long", MFnNumericData::kLong, 0},    {"int64", MFnNumericData::kInt64, 0},
    {"float", MFnNumericData::kFloat, 0},  {"double", MFnNumericData::kDouble, 0},
    {"short2", MFnNumericData::k2Short, 2}, {"short3", MFnNumericData::k3Short, 3},
    {"long2", MFnNumericData::k2Long, 2},   {"long3", MFnNumericData::k3Long, 3},
    {"float2", MFnNumericData::k2Float, 2}, {"float3", MFnNumericData::k3Float, 3},
    {"double2", MFnNumericData::k2Double, 2}, {"double3", MFnNumericData::k3Double, 3},
};

struct DataName
{
    const char* name;
    MFnData::Type type;
};

const DataName kDataNames[] = {
    {"string", MFnData::kString},           {"stringArray", MFnData::kStringArray},
    {"doubleArray", MFnData::kDoubleArray}, {"Int32Array", MFnData::kIntArray},
    {"matrix", MFnData::kMatrix},           {"matrixArray", MFnData::kMatrixArray},
    {"mesh", MFnData::kMesh},               {"nurbsCurve", MFnData::kNurbsCurve},
};

const NumericName* numericByName(const MString& name)
{
    for (const NumericName& entry : kNumericNames)
        if (name == entry.name)
            return &entry;
    if (name == "int")
        return &kNumericNames[4];
    return nullptr;
}

const char* numericName(MFnNumericData::Type type)
{
    for (const NumericName& entry : kNumericNames)
        if (entry.type == type)
            return entry.name;
    return nullptr;
}

MStatus fail(const char* command, const MString& message)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return MS::kInvalidParameter;
}

// Flags every attribute kind shares.
MStatus applyCommonFlags(const DynamicAttribute::Description& d, MObject& attribute)
{
    MFnAttribute fn(attribute);
    MStatus status = fn.setArray(d.multi);
    if (status) status = fn.setKeyable(d.keyable);
    if (status) status = fn.setHidden(d.hidden);
    if (status) status = fn.setStorable(d.storable);
    if (status) status = fn.setReadable(d.readable);
    if (status) status = fn.setWritable(d.writable);
    if (status) status = fn.setIndexMatters(d.indexMatters);
    if (status && d.usedAsColor) status = fn.setUsedAsColor(true);
    if (status && d.niceName.length() > 0) status = fn.setNiceNameOverride(d.niceName);
    if (status && d.disconnectBehavior >= 0)
        status = fn.setDisconnectBehavior(static_cast<MFnAttribute::DisconnectBehavior>(d.disconnectBehavior));
    return status;
}

MStatus parseEnumFields(const char* command, const MString& names, MFnEnumAttribute& fn)
{
    MStringArray fields;
    names.split(':', fields);
    short next = 0;
    for (unsigned i = 0; i < fields.length(); ++i) {
        MString field = fields[i];
        const int equals = field.index('=');
        if (equals >= 0) {
            long long index = 0;
            if (!ValueText::parseInt(field.substring(equals + 1, static_cast<int>(field.length()) - 1), index) ||
                index < -32768 || index > 32767)
                return fail(command, MString("bad enum field \"") + field + "\".");
            next = static_cast<short>(index);
            field = field.substring(0, equals - 1);
        }
        MStatus status = fn.addField(field, next++);
        if (!status)
            return fail(command, MString("cannot add enum field \"") + field + "\".");
    }
    return MS::kSuccess;
}

void appendFlag(std::string& out, const char* flag, const MString& value)
{
    out += ' ';
    out += flag;
    out += ' ';
    const MString quoted = ValueText::quote(value);
    out.append(quoted.asChar(), quoted.length());
}

void appendNumberFlag(std::string& out, const char* flag, double value)
{
    out += ' ';
    out += flag;
    out += ' ';
    appendDouble(out, value);
}

// Values of unit attributes in UI units.
double toUi(const Attribute* a, double internal)
{
    return a->attrKind == AttrKind::Unit ? PlugValue::uiValue(a->unitType, internal) : internal;
}

} // namespace

bool DynamicAttribute::canCreate(const MString& at, const MString& dt)
{
    if (dt.length() > 0) {
        for (const DataName& entry : kDataNames)
            if (dt == entry.name)
                return true;
        return false;
    }
    return numericByName(at) || at == "doubleLinear" || at == "doubleAngle" || at == "time" || at == "enum" ||
           at == "message" || at == "matrix" || at == "fltMatrix" || at == "compound";
}

bool DynamicAttribute::isCompoundType(const Description& d, unsigned& maxChildren)
{
    if (d.attributeType == "compound") {
        maxChildren = 0xffffffffu;
        return true;
    }
    const NumericName* numeric = numericByName(d.attributeType);
    maxChildren = numeric ? numeric->children : 0;
    return maxChildren > 0;
}

MStatus DynamicAttribute::create(const char* command, const Description& d, MObject& attribute)
{
    MStatus status;
    const MString& at = d.attributeType;
    if (d.dataType.length() > 0) {
        const DataName* found = nullptr;
        for (const DataName& entry : kDataNames)
            if (d.dataType == entry.name)
                found = &entry;
        if (!found)
            return fail(command, MString("unknown data type \"") + d.dataType + "\".");
        MFnTypedAttribute fn;
        attribute = fn.create(d.longName, d.shortName, found->type, MObject::kNullObj, &status);
    } else if (const NumericName* numeric = numericByName(at)) {
        if (numeric->children > 0)
            return fail(command, MString("\"") + at + "\" needs its children: use createCompound.");
        MFnNumericAttribute fn;
        attribute = fn.create(d.longName, d.shortName, numeric->type, d.hasDefault ? d.defaultValue : 0.0, &status);
        if (status && d.hasMin) status = fn.setMin(d.minValue);
        if (status && d.hasMax) status = fn.setMax(d.maxValue);
        if (status && d.hasSoftMin) status = fn.setSoftMin(d.softMinValue);
        if (status && d.hasSoftMax) status = fn.setSoftMax(d.softMaxValue);
    } else if (at == "doubleLinear" || at == "doubleAngle" || at == "time") {
        MFnUnitAttribute fn;
        const double dv = d.hasDefault ? d.defaultValue : 0.0;
        if (at == "doubleLinear") {
            attribute = fn.create(d.longName, d.shortName, MDistance(dv, MDistance::uiUnit()), &status);
            if (status && d.hasMin) status = fn.setMin(MDistance(d.minValue, MDistance::uiUnit()));
            if (status && d.hasMax) status = fn.setMax(MDistance(d.maxValue, MDistance::uiUnit()));
        } else if (at == "doubleAngle") {
            attribute = fn.create(d.longName, d.shortName, MAngle(dv, MAngle::uiUnit()), &status);
            if (status && d.hasMin) status = fn.setMin(MAngle(d.minValue, MAngle::uiUnit()));
            if (status && d.hasMax) status = fn.setMax(MAngle(d.maxValue, MAngle::uiUnit()));
        } else {
            attribute = fn.create(d.longName, d.shortName, MTime(dv, MTime::uiUnit()), &status);
            if (status && d.hasMin) status = fn.setMin(MTime(d.minValue, MTime::uiUnit()));
            if (status && d.hasMax) status = fn.setMax(MTime(d.maxValue, MTime::uiUnit()));
        }
    } else if (at == "enum") {
        MFnEnumAttribute fn;
        attribute = fn.create(d.longName, d.shortName, static_cast<short>(d.hasDefault ? d.defaultValue : 0), &status);
        if (status)
            status = parseEnumFields(command, d.enumNames, fn);
        if (!status)
            return status;
    } else if (at == "message") {
        MFnMessageAttribute fn;
        attribute = fn.create(d.longName, d.shortName, &status);
    } else if (at == "matrix" || at == "fltMatrix") {
        MFnMatrixAttribute fn;
        attribute = fn.create(d.longName, d.shortName,
                              at == "matrix" ? MFnMatrixAttribute::kDouble : MFnMatrixAttribute::kFloat, &status);
    } else if (at.length() == 0) {
        return fail(command, "give the attribute type with -attributeType or -dataType.");
    } else {
        return fail(command, MString("unknown attribute type \"") + at + "\".");
    }
    if (!status)
        return fail(command, MString("cannot create attribute \"") + d.longName + "\".");
    status = applyCommonFlags(d, attribute);
    if (!status)
        return fail(command, MString("cannot set the flags of attribute \"") + d.longName + "\".");
    return MS::kSuccess;
}

MStatus DynamicAttribute::createCompound(const char* command, const Description& d,
                                         const std::vector<MObject>& children, MObject& attribute)
{
    MStatus status;
    if (d.attributeType == "compound") {
        MFnCompoundAttribute fn;
        attribute = fn.create(d.longName, d.shortName, &status);
        for (size_t i = 0; i < children.size() && status; ++i)
            status = fn.addChild(children[i]);
    } else {
        MFnNumericAttribute fn;
        if (children.size() == 2)
            attribute = fn.create(d.longName, d.shortName, children[0], children[1], MObject::kNullObj, &status);
        else if (children.size() == 3)
            attribute = fn.create(d.longName, d.shortName, children[0], children[1], children[2], &status);
        else
            status = MS::kInvalidParameter;
    }
    if (!status)
        return fail(command, MString("cannot create compound attribute \"") + d.longName + "\".");
    status = applyCommonFlags(d, attribute);
    if (!status)
        return fail(command, MString("cannot set the flags of attribute \"") + d.longName + "\".");
    return MS::kSuccess;
}

bool DynamicAttribute::describe(const Attribute* a, std::string& out)
{
    std::string line = "\taddAttr -ci true";
    if (a->disconnectBehavior != MFnAttribute::kNothing) {
        line += " -dcb ";
        line += std::to_string(static_cast<int>(a->disconnectBehavior));
    }
    if (a->is(kKeyable)) line += " -k true";
    if (a->is(kHidden)) line += " -h true";
    if (!a->is(kStorable)) line += " -s false";
    if (!a->is(kReadable)) line += " -r false";
    if (!a->is(kWritable)) line += " -w false";
    if (a->is(kUsedAsColor)) line += " -uac";
    if (a->is(kArray)) line += " -m";
    if (a->is(kArray) && !a->is(kIndexMatters)) line += " -im false";
    appendFlag(line, "-sn", a->shortName);
    appendFlag(line, "-ln", a->name);
    if (a->niceName.length() > 0)
        appendFlag(line, "-nn", a->niceName);
    bool numeric = false;
    switch (a->attrKind) {
    case AttrKind::Numeric: {
        const char* name = numericName(a->numericType);
        if (!name)
            return false;
        appendFlag(line, "-at", name);
        numeric = true;
        break;
    }
    case AttrKind::Unit:
        appendFlag(line, "-at", a->unitType == MFnUnitAttribute::kAngle ? "doubleAngle"
                                : a->unitType == MFnUnitAttribute::kTime ? "time" : "doubleLinear");
        numeric = true;
        break;
    case AttrKind::Enum: {
        appendFlag(line, "-at", "enum");
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
        appendFlag(line, "-en", fields);
        if (a->defaults[0] != 0)
            appendNumberFlag(line, "-dv", a->defaults[0]);
        break;
    }
    case AttrKind::Message: appendFlag(line, "-at", "message"); break;
    case AttrKind::Matrix:
        appendFlag(line, "-at", a->matrixType == MFnMatrixAttribute::kFloat ? "fltMatrix" : "matrix");
        break;
    case AttrKind::Typed: {
        const char* name = nullptr;
        for (const DataName& entry : kDataNames)
            if (entry.type == a->dataType)
                name = entry.name;
        if (!name)
            return false;
        appendFlag(line, "-dt", name);
        break;
    }
    case AttrKind::Compound: {
        const char* name = a->isNumericCompound() ? numericName(a->numericType) : "compound";
        if (!name)
            return false;
        appendFlag(line, "-at", name);
        line += " -nc ";
        line += std::to_string(a->children.size());
        break;
    }
    default: return false;
    }
    if (numeric) {
        if (a->defaults[0] != 0) appendNumberFlag(line, "-dv", toUi(a, a->defaults[0]));
        if (a->hasMin) appendNumberFlag(line, "-min", toUi(a, a->minValue[0]));
        if (a->hasMax) appendNumberFlag(line, "-max", toUi(a, a->maxValue[0]));
        if (a->hasSoftMin) appendNumberFlag(line, "-smn", toUi(a, a->softMin));
        if (a->hasSoftMax) appendNumberFlag(line, "-smx", toUi(a, a->softMax));
    }
    if (a->parent)
        appendFlag(line, "-p", a->parent->name);
    line += ";\n";
    // Children follow their compound, which they complete.
    std::string children;
    for (const Attribute* child : a->children)
        if (!describe(child, children))
            return false;
    out += line;
    out += children;
    return true;
}

} // namespace host
