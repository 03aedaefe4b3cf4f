#include "commands/builtins/PlugValue.h"

#include "commands/builtins/SceneNames.h"
#include "commands/builtins/ValueText.h"
#include "commands/mel/MelValue.h"
#include "dg/Data.h"
#include "dg/Node.h"
#include "geometry/CurveData.h"
#include "geometry/GeometryFileText.h"
#include "geometry/LinearUnitText.h"
#include "geometry/MeshData.h"

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixArrayData.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnStringArrayData.h>
#include <maya/MFnStringData.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MMatrixArray.h>
#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>
#include <maya/MTime.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host {

namespace {

struct TypeNameEntry
{
    const char* name;
    PlugValue::Kind kind;
    unsigned components;
};

// Names MEL gives the typed values; numeric compounds carry their size.
const TypeNameEntry kTypeNames[] = {
    {"string", PlugValue::kString, 0},         {"stringArray", PlugValue::kStringArray, 0},
    {"Int32Array", PlugValue::kIntArray, 0},   {"doubleArray", PlugValue::kDoubleArray, 0},
    {"matrix", PlugValue::kMatrix, 0},         {"matrixArray", PlugValue::kMatrixArray, 0},
    {"short2", PlugValue::kNumericCompound, 2}, {"short3", PlugValue::kNumericCompound, 3},
    {"long2", PlugValue::kNumericCompound, 2},  {"long3", PlugValue::kNumericCompound, 3},
    {"float2", PlugValue::kNumericCompound, 2}, {"float3", PlugValue::kNumericCompound, 3},
    {"double2", PlugValue::kNumericCompound, 2}, {"double3", PlugValue::kNumericCompound, 3},
    {"double4", PlugValue::kNumericCompound, 4},
    {"mesh", PlugValue::kMesh, 0},             {"nurbsCurve", PlugValue::kNurbsCurve, 0},
    {"pointArray", PlugValue::kPointArray, 0}, {"componentList", PlugValue::kComponentList, 0},
};

const char* numericCompoundName(MFnNumericData::Type type)
{
    switch (type) {
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

MStatus fail(const char* command, const MString& message, MStatus code = MS::kInvalidParameter)
{
    MGlobal::displayError(MString(command) + ": " + message);
    return code;
}

// The UI value with the fewest digits that converts back to exactly the
// stored value, so that 30 degrees reads as 30 and not 29.999999999999996.
template <typename ToInternal>
double shortestUiValue(double ui, double internal, ToInternal toInternal)
{
    char buffer[40];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof(buffer), "%.*g", digits, ui);
        const double candidate = std::strtod(buffer, nullptr);
        if (toInternal(candidate) == internal)
            return candidate;
    }
    return ui;
}

// The double MEL shows for a float: the one its shortest float text reads as
// (0.85f shows as 0.85, not 0.8500000238418579).
double floatAsShown(float value)
{
    if (!std::isfinite(value))
        return value;
    return std::strtod(ValueText::formatFloat(value).asChar(), nullptr);
}

// Float distances (a mesh's vertex tweaks) hold centimetres as floats.
bool isFloatDistance(const MPlug& plug)
{
    const Attribute* a = PlugAccess::attribute(plug);
    return a && a->numericType == MFnNumericData::kFloat;
}

// A scalar plug's value in UI units.
double scalarValue(const MPlug& plug, PlugValue::Kind kind)
{
    if (kind == PlugValue::kDistance && isFloatDistance(plug))
        return LinearUnitText::uiFloatValue(plug.asFloat(), LinearUnitText::centimetresPerUiUnit());
    switch (kind) {
    case PlugValue::kBool: return plug.asBool() ? 1.0 : 0.0;
    case PlugValue::kInteger: return static_cast<double>(plug.asInt64());
    case PlugValue::kEnum: return plug.asInt();
    case PlugValue::kFloat: return floatAsShown(plug.asFloat());
    case PlugValue::kDistance:
        return PlugValue::uiValue(MFnUnitAttribute::kDistance, plug.asMDistance().as(MDistance::internalUnit()));
    case PlugValue::kAngle:
        return PlugValue::uiValue(MFnUnitAttribute::kAngle, plug.asMAngle().as(MAngle::internalUnit()));
    case PlugValue::kTime:
        return PlugValue::uiValue(MFnUnitAttribute::kTime, plug.asMTime().as(MTime::kSeconds));
    default: return plug.asDouble();
    }
}

void appendWord(std::string& out, const MString& word)
{
    out += ' ';
    out.append(word.asChar(), word.length());
}

void appendScalar(std::string& out, const MPlug& plug, PlugValue::Kind kind)
{
    switch (kind) {
    case PlugValue::kBool: out += plug.asBool() ? " yes" : " no"; break;
    case PlugValue::kInteger:
    case PlugValue::kEnum: appendWord(out, ValueText::formatInt(static_cast<long long>(scalarValue(plug, kind)))); break;
    case PlugValue::kFloat: appendWord(out, ValueText::formatFloat(plug.asFloat())); break;
    default: out += ' '; appendDouble(out, scalarValue(plug, kind)); break;
    }
}

void appendMatrix(std::string& out, const MMatrix& m)
{
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) {
            out += ' ';
            appendDouble(out, m(r, c));
        }
}

MMatrix matrixValue(const MPlug& plug)
{
    MObject data = plug.asMObject();
    if (data.isNull())
        return MMatrix();
    MFnMatrixData fn(data);
    return fn.matrix();
}

MStatus needWords(const char* command, const MPlug& plug, const std::vector<MString>& words, size_t pos,
                  size_t count)
{
    if (words.size() - pos < count)
        return fail(command, MString("not enough values for ") + SceneNames::plugName(plug) + ": expected " +
                                 static_cast<int>(count) + ", found " + static_cast<int>(words.size() - pos) + ".");
    return MS::kSuccess;
}

MStatus readCount(const char* command, const MPlug& plug, const std::vector<MString>& words, size_t& pos,
                  size_t perElement, size_t& count)
{
    MStatus status = needWords(command, plug, words, pos, 1);
    if (!status)
        return status;
    long long n = 0;
    if (!ValueText::parseInt(words[pos], n) || n < 0)
        return fail(command, MString("bad element count \"") + words[pos] + "\" for " + SceneNames::plugName(plug) + ".");
    ++pos;
    status = needWords(command, plug, words, pos, static_cast<size_t>(n) * perElement);
    if (!status)
        return status;
    count = static_cast<size_t>(n);
    return MS::kSuccess;
}

MStatus readDouble(const char* command, const MPlug& plug, const MString& word, double& value)
{
    if (!ValueText::parseDouble(word, value))
        return fail(command, MString("\"") + word + "\" is not a number (" + SceneNames::plugName(plug) + ").");
    return MS::kSuccess;
}

MStatus readInt(const char* command, const MPlug& plug, const MString& word, long long& value)
{
    if (!ValueText::parseInt(word, value))
        return fail(command, MString("\"") + word + "\" is not an integer (" + SceneNames::plugName(plug) + ").");
    return MS::kSuccess;
}

// Maya's "xform" matrix form: scale, rotate (radians), rotate order, translate, shear, scale pivot
// and its translation, rotate pivot and its translation, rotate axis and joint orient quaternions,
// inverse parent scale and whether to compensate for it (37 words after "xform").
MStatus readXformMatrix(const char* command, const MPlug& plug, const std::vector<MString>& words, size_t& pos,
                        XformParts& parts)
{
    MStatus status = needWords(command, plug, words, pos, XformParts::kCount + 1);
    if (!status)
        return status;
    for (unsigned i = 0; i < XformParts::kCount; ++i) {
        status = readDouble(command, plug, words[pos++], parts.values[i]);
        if (!status)
            return status;
    }
    if (!ValueText::parseBool(words[pos], parts.compensate))
        return fail(command, MString("\"") + words[pos] + "\" is not a boolean (" + SceneNames::plugName(plug) + ").");
    ++pos;
    const double order = parts.values[XformParts::kRotateOrder];
    if (!(order >= 0 && order <= 5) || order != std::floor(order))
        return fail(command, MString("bad rotate order in the xform value of ") + SceneNames::plugName(plug) + ".");
    return MS::kSuccess;
}

// A matrix as 16 numbers, or in the "xform" form (whose parts are kept when `parts` is given).
MStatus readMatrix(const char* command, const MPlug& plug, const std::vector<MString>& words, size_t& pos,
                   MMatrix& m, std::unique_ptr<XformParts>* parts = nullptr)
{
    if (pos < words.size() && words[pos] == "xform") {
        std::unique_ptr<XformParts> read(new XformParts);
        MStatus status = readXformMatrix(command, plug, words, ++pos, *read);
        if (!status)
            return status;
        m = read->asMatrix();
        if (parts)
            *parts = std::move(read);
        return MS::kSuccess;
    }
    MStatus status = needWords(command, plug, words, pos, 16);
    if (!status)
        return status;
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned c = 0; c < 4; ++c) {
            status = readDouble(command, plug, words[pos++], m[r][c]);
            if (!status)
                return status;
        }
    return MS::kSuccess;
}

MStatus parseScalar(const char* command, const MPlug& plug, PlugValue::Kind kind, const MString& word,
                    MDGModifier& modifier)
{
    const Attribute* attr = PlugAccess::attribute(plug);
    if (kind == PlugValue::kBool) {
        bool value = false;
        if (!ValueText::parseBool(word, value))
            return fail(command, MString("\"") + word + "\" is not a boolean (" + SceneNames::plugName(plug) + ").");
        return modifier.newPlugValueBool(plug, value);
    }
    if (kind == PlugValue::kEnum) {
        long long value = 0;
        if (!ValueText::parseInt(word, value)) {
            bool found = false;
            for (const auto& field : attr->enumFields)
                if (field.first == word) {
                    value = field.second;
                    found = true;
                }
            if (!found)
                return fail(command, MString("\"") + word + "\" is not a field of " + SceneNames::plugName(plug) + ".");
        }
        if (value < -32768 || value > 32767)
            return fail(command, MString("enum value ") + word + " is out of range.");
        return modifier.newPlugValueShort(plug, static_cast<short>(value));
    }
    if (kind == PlugValue::kInteger) {
        long long value = 0;
        MStatus status = readInt(command, plug, word, value);
        if (!status)
            return status;
        if (attr->numericType == MFnNumericData::kInt64)
            return modifier.newPlugValueInt64(plug, static_cast<MInt64>(value));
        if (value < -2147483648LL || value > 2147483647LL)
            return fail(command, MString("value ") + word + " is out of range for " + SceneNames::plugName(plug) + ".");
        return modifier.newPlugValueInt(plug, static_cast<int>(value));
    }
    double value = 0;
    MStatus status = readDouble(command, plug, word, value);
    if (!status)
        return status;
    switch (kind) {
    case PlugValue::kFloat: return modifier.newPlugValueFloat(plug, static_cast<float>(value));
    case PlugValue::kDistance:
        if (isFloatDistance(plug))
            return modifier.newPlugValueFloat(plug, LinearUnitText::toCentimetres(value, LinearUnitText::centimetresPerUiUnit()));
        return modifier.newPlugValueMDistance(plug, MDistance(value, MDistance::uiUnit()));
    case PlugValue::kAngle: return modifier.newPlugValueMAngle(plug, MAngle(value, MAngle::uiUnit()));
    case PlugValue::kTime: return modifier.newPlugValueMTime(plug, MTime(value, MTime::uiUnit()));
    default: return modifier.newPlugValueDouble(plug, value);
    }
}

bool acceptsData(const Attribute* attr, MFnData::Type type)
{
    for (MFnData::Type accepted : attr->acceptedData)
        if (accepted == type || accepted == MFnData::kAny)
            return true;
    return false;
}

bool isScalar(PlugValue::Kind kind)
{
    return kind >= PlugValue::kBool && kind <= PlugValue::kTime;
}

} // namespace

bool PlugValue::isScalarCompound(const Attribute* attribute)
{
    if (!attribute || kindOf(attribute) != kCompound || attribute->children.empty())
        return false;
    for (const Attribute* child : attribute->children)
        if (!isScalar(kindOf(child)) || child->is(kArray))
            return false;
    return true;
}

double PlugValue::uiValue(MFnUnitAttribute::Type unit, double internal)
{
    switch (unit) {
    case MFnUnitAttribute::kDistance:
        return shortestUiValue(MDistance(internal, MDistance::internalUnit()).as(MDistance::uiUnit()), internal,
                               [](double v) { return MDistance(v, MDistance::uiUnit()).as(MDistance::internalUnit()); });
    case MFnUnitAttribute::kAngle:
        return shortestUiValue(MAngle(internal, MAngle::internalUnit()).as(MAngle::uiUnit()), internal,
                               [](double v) { return MAngle(v, MAngle::uiUnit()).as(MAngle::internalUnit()); });
    case MFnUnitAttribute::kTime:
        return shortestUiValue(MTime(internal, MTime::kSeconds).as(MTime::uiUnit()), internal,
                               [](double v) { return MTime(v, MTime::uiUnit()).as(MTime::kSeconds); });
    default: return internal;
    }
}

PlugValue::Kind PlugValue::kindOf(const Attribute* a)
{
    if (!a)
        return kUnsupported;
    switch (a->attrKind) {
    case AttrKind::Numeric:
        switch (a->numericType) {
        case MFnNumericData::kBoolean: return kBool;
        case MFnNumericData::kByte:
        case MFnNumericData::kChar:
        case MFnNumericData::kShort:
        case MFnNumericData::kLong:
        case MFnNumericData::kInt64: return kInteger;
        case MFnNumericData::kFloat: return a->unitType == MFnUnitAttribute::kDistance ? kDistance : kFloat;
        case MFnNumericData::kDouble: return a->unitType == MFnUnitAttribute::kDistance ? kDistance : kDouble;
        default: return kUnsupported;
        }
    case AttrKind::Unit:
        switch (a->unitType) {
        case MFnUnitAttribute::kDistance: return kDistance;
        case MFnUnitAttribute::kAngle: return kAngle;
        case MFnUnitAttribute::kTime: return kTime;
        default: return kDouble;
        }
    case AttrKind::Enum: return kEnum;
    case AttrKind::Compound: return a->isNumericCompound() ? kNumericCompound : kCompound;
    case AttrKind::Typed:
        switch (a->dataType) {
        case MFnData::kString: return kString;
        case MFnData::kStringArray: return kStringArray;
        case MFnData::kIntArray: return kIntArray;
        case MFnData::kDoubleArray: return kDoubleArray;
        case MFnData::kMatrix: return kMatrix;
        case MFnData::kMatrixArray: return kMatrixArray;
        case MFnData::kMesh: return kMesh;
        case MFnData::kNurbsCurve: return kNurbsCurve;
        case MFnData::kPointArray: return kPointArray;
        case MFnData::kComponentList: return kComponentList;
        default: return kUnsupported;
        }
    case AttrKind::Matrix: return kMatrix;
    case AttrKind::Message: return kMessage;
    case AttrKind::Generic: return kGeneric;
    }
    return kUnsupported;
}

PlugValue::Kind PlugValue::kindOf(const MPlug& plug)
{
    return kindOf(PlugAccess::attribute(plug));
}

PlugValue::Kind PlugValue::kindOfTypeName(const MString& typeName, unsigned& components)
{
    for (const TypeNameEntry& entry : kTypeNames)
        if (typeName == entry.name) {
            components = entry.components;
            return entry.kind;
        }
    components = 0;
    return kUnsupported;
}

MString PlugValue::typeName(const MPlug& plug)
{
    const Attribute* attr = PlugAccess::attribute(plug);
    switch (kindOf(attr)) {
    case kNumericCompound: return numericCompoundName(attr->numericType);
    case kString: return "string";
    case kStringArray: return "stringArray";
    case kIntArray: return "Int32Array";
    case kDoubleArray: return "doubleArray";
    case kMatrix: return "matrix";
    case kMatrixArray: return "matrixArray";
    case kMesh: return "mesh";
    case kNurbsCurve: return "nurbsCurve";
    case kPointArray: return "pointArray";
    case kComponentList: return "componentList";
    default: return MString();
    }
}

MStatus PlugValue::parse(const char* command, const MPlug& plug, const MString& typeName,
                         const std::vector<MString>& words, size_t& pos, MDGModifier& modifier)
{
    const Attribute* attr = PlugAccess::attribute(plug);
    Kind kind = kindOf(attr);
    const MString name = SceneNames::plugName(plug);
    if (typeName.length() > 0) {
        unsigned components = 0;
        const Kind given = kindOfTypeName(typeName, components);
        if (given == kUnsupported)
            return fail(command, MString("unknown data type \"") + typeName + "\".");
        const bool matches = given == kind ||
                             (kind == kGeneric) ||
                             (kind == kNumericCompound && given == kNumericCompound &&
                              components == attr->children.size());
        if (!matches) {
            MString expected = PlugValue::typeName(plug);
            return fail(command, MString("type \"") + typeName + "\" does not match " + name +
                                     (expected.length() ? MString(" (") + expected + ")" : MString()) + ".");
        }
        if (kind == kGeneric)
            kind = given;
    } else if (kind == kGeneric) {
        kind = kDouble;
    }

    MStatus status;
    if (isScalar(kind)) {
        status = needWords(command, plug, words, pos, 1);
        if (!status)
            return status;
        return parseScalar(command, plug, kind, words[pos++], modifier);
    }
    if (kind == kCompound && isScalarCompound(attr))
        kind = kNumericCompound;  // its children's values in order
    switch (kind) {
    case kNumericCompound: {
        const unsigned n = plug.numChildren();
        status = needWords(command, plug, words, pos, n);
        if (!status)
            return status;
        for (unsigned i = 0; i < n; ++i) {
            MPlug child = plug.child(i, &status);
            if (!status)
                return fail(command, MString("cannot reach component ") + static_cast<int>(i) + " of " + name + ".", status);
            status = parseScalar(command, child, kindOf(child), words[pos++], modifier);
            if (!status)
                return status;
        }
        return MS::kSuccess;
    }
    case kString: {
        status = needWords(command, plug, words, pos, 1);
        if (!status)
            return status;
        MFnStringData fn;
        MObject data = fn.create(words[pos++], &status);
        if (!status)
            return fail(command, "cannot create string data.", status);
        return modifier.newPlugValue(plug, data);
    }
    case kStringArray: {
        size_t count = 0;
        status = readCount(command, plug, words, pos, 1, count);
        if (!status)
            return status;
        MStringArray values;
        values.setLength(static_cast<unsigned>(count));
        for (size_t i = 0; i < count; ++i)
            values[static_cast<unsigned>(i)] = words[pos++];
        MFnStringArrayData fn;
        MObject data = fn.create(values, &status);
        if (!status)
            return fail(command, "cannot create string array data.", status);
        return modifier.newPlugValue(plug, data);
    }
    case kIntArray: {
        size_t count = 0;
        status = readCount(command, plug, words, pos, 1, count);
        if (!status)
            return status;
        MIntArray values(static_cast<unsigned>(count));
        for (size_t i = 0; i < count; ++i) {
            long long v = 0;
            status = readInt(command, plug, words[pos++], v);
            if (!status)
                return status;
            if (v < -2147483648LL || v > 2147483647LL)
                return fail(command, MString("value ") + words[pos - 1] + " does not fit an Int32Array.");
            values[static_cast<unsigned>(i)] = static_cast<int>(v);
        }
        MFnIntArrayData fn;
        MObject data = fn.create(values, &status);
        if (!status)
            return fail(command, "cannot create int array data.", status);
        return modifier.newPlugValue(plug, data);
    }
    case kDoubleArray: {
        size_t count = 0;
        status = readCount(command, plug, words, pos, 1, count);
        if (!status)
            return status;
        MDoubleArray values(static_cast<unsigned>(count));
        for (size_t i = 0; i < count; ++i) {
            status = readDouble(command, plug, words[pos++], values[static_cast<unsigned>(i)]);
            if (!status)
                return status;
        }
        MFnDoubleArrayData fn;
        MObject data = fn.create(values, &status);
        if (!status)
            return fail(command, "cannot create double array data.", status);
        return modifier.newPlugValue(plug, data);
    }
    case kMatrix: {
        MMatrix m;
        std::unique_ptr<XformParts> parts;
        status = readMatrix(command, plug, words, pos, m, &parts);
        if (!status)
            return status;
        MFnMatrixData fn;
        MObject data = fn.create(m, &status);
        if (!status)
            return fail(command, "cannot create matrix data.", status);
        // The parts are kept so that the value is written back in the form it came in.
        if (MatrixData* matrix = dataAs<MatrixData>(data, MFnData::kMatrix))
            matrix->xform = std::move(parts);
        return modifier.newPlugValue(plug, data);
    }
    case kPointArray: {
        size_t count = 0;
        status = readCount(command, plug, words, pos, 4, count);
        if (!status)
            return status;
        MPointArray points(static_cast<unsigned>(count));
        for (size_t i = 0; i < count; ++i)
            for (unsigned k = 0; k < 4; ++k) {
                status = readDouble(command, plug, words[pos++], points[static_cast<unsigned>(i)][k]);
                if (!status)
                    return status;
            }
        MObject data = ObjectAccess::make(new PointArrayData(points));
        return modifier.newPlugValue(plug, data);
    }
    case kComponentList: {
        size_t count = 0;
        status = readCount(command, plug, words, pos, 1, count);
        if (!status)
            return status;
        auto* list = new ComponentListData;
        for (size_t i = 0; i < count; ++i)
            list->components.append(words[pos++]);
        MObject data = ObjectAccess::make(list);
        return modifier.newPlugValue(plug, data);
    }
    case kMatrixArray: {
        size_t count = 0;
        status = readCount(command, plug, words, pos, 16, count);
        if (!status)
            return status;
        MMatrixArray values(static_cast<unsigned>(count));
        for (size_t i = 0; i < count; ++i) {
            status = readMatrix(command, plug, words, pos, values[static_cast<unsigned>(i)]);
            if (!status)
                return status;
        }
        MFnMatrixArrayData fn;
        MObject data = fn.create(values, &status);
        if (!status)
            return fail(command, "cannot create matrix array data.", status);
        return modifier.newPlugValue(plug, data);
    }
    case kMesh:
    case kNurbsCurve: {
        if (attr->attrKind == AttrKind::Generic &&
            !acceptsData(attr, kind == kMesh ? MFnData::kMesh : MFnData::kNurbsCurve))
            return fail(command, name + " does not accept " + typeName + " data.");
        MObject data;
        status = kind == kMesh ? GeometryFileText::parseMeshValue(command, name, words, pos, data)
                               : GeometryFileText::parseCurveValue(command, name, words, pos, data);
        if (!status)
            return status;
        return modifier.newPlugValue(plug, data);
    }
    case kCompound:
        return fail(command, name + " is a compound attribute: set its children.");
    case kMessage:
        return fail(command, name + " is a message attribute and holds no value.");
    default:
        return fail(command, MString("the value of ") + name + " cannot be set from text.");
    }
}

bool PlugValue::arraySize(const MPlug& plug, unsigned& size)
{
    if (plug.isArray()) {
        size = plug.numElements();
        return true;
    }
    const Kind kind = kindOf(plug);
    if (kind != kStringArray && kind != kIntArray && kind != kDoubleArray && kind != kMatrixArray &&
        kind != kPointArray && kind != kComponentList)
        return false;
    MObject data = plug.asMObject();
    size = 0;
    if (data.isNull())
        return true;
    switch (kind) {
    case kStringArray: size = MFnStringArrayData(data).length(); break;
    case kIntArray: size = MFnIntArrayData(data).length(); break;
    case kDoubleArray: size = MFnDoubleArrayData(data).length(); break;
    case kPointArray: size = dataAs<PointArrayData>(data, MFnData::kPointArray)->value.length(); break;
    case kComponentList:
        size = dataAs<ComponentListData>(data, MFnData::kComponentList)->components.length();
        break;
    default: size = MFnMatrixArrayData(data).length(); break;
    }
    return true;
}

MStatus PlugValue::setResult(const char* command, const MPlug& plug, bool asString)
{
    const Attribute* attr = PlugAccess::attribute(plug);
    const Kind kind = kindOf(attr);
    const MString name = SceneNames::plugName(plug);
    MStatus status;
    if (plug.isArray()) {
        // A multi of scalars reads as the list of its element values.
        if (!isScalar(kind))
            return fail(command, name + " is an array of values that getAttr cannot list: ask for one element.");
        MDoubleArray values;
        const unsigned n = plug.numElements();
        for (unsigned i = 0; i < n; ++i)
            values.append(scalarValue(plug.elementByPhysicalIndex(i), kind));
        MPxCommand::setResult(values);
        return MS::kSuccess;
    }
    switch (kind) {
    case kBool: MPxCommand::setResult(plug.asBool()); return MS::kSuccess;
    case kInteger: MPxCommand::setResult(static_cast<int>(plug.asInt64())); return MS::kSuccess;
    case kEnum: {
        const int value = plug.asInt();
        if (asString) {
            for (const auto& field : attr->enumFields)
                if (field.second == value) {
                    MPxCommand::setResult(field.first);
                    return MS::kSuccess;
                }
        }
        MPxCommand::setResult(value);
        return MS::kSuccess;
    }
    case kFloat:
    case kDouble:
    case kDistance:
    case kAngle:
    case kTime: MPxCommand::setResult(scalarValue(plug, kind)); return MS::kSuccess;
    case kGeneric: MPxCommand::setResult(plug.asDouble()); return MS::kSuccess;
    case kCompound:
        if (!isScalarCompound(attr))
            return fail(command, name + " is a compound attribute: ask for its children.");
        [[fallthrough]];  // its children's values, as for a numeric compound
    case kNumericCompound: {
        MDoubleArray values;
        const unsigned n = plug.numChildren();
        for (unsigned i = 0; i < n; ++i) {
            MPlug child = plug.child(i);
            values.append(scalarValue(child, kindOf(child)));
        }
        MPxCommand::setResult(values);
        return MS::kSuccess;
    }
    case kString: {
        MObject data = plug.asMObject();
        MPxCommand::setResult(data.isNull() ? MString() : MFnStringData(data).string());
        return MS::kSuccess;
    }
    case kStringArray: {
        MObject data = plug.asMObject();
        MPxCommand::setResult(data.isNull() ? MStringArray() : MFnStringArrayData(data).array());
        return MS::kSuccess;
    }
    case kIntArray: {
        MObject data = plug.asMObject();
        MPxCommand::setResult(data.isNull() ? MIntArray() : MFnIntArrayData(data).array());
        return MS::kSuccess;
    }
    case kDoubleArray: {
        MObject data = plug.asMObject();
        MPxCommand::setResult(data.isNull() ? MDoubleArray() : MFnDoubleArrayData(data).array());
        return MS::kSuccess;
    }
    case kMatrix: {
        const MMatrix m = matrixValue(plug);
        MDoubleArray values;
        for (unsigned r = 0; r < 4; ++r)
            for (unsigned c = 0; c < 4; ++c)
                values.append(m(r, c));
        MPxCommand::setResult(values);
        return MS::kSuccess;
    }
    case kMatrixArray: {
        MObject data = plug.asMObject();
        MDoubleArray values;
        if (!data.isNull()) {
            MMatrixArray matrices = MFnMatrixArrayData(data).array();
            for (unsigned i = 0; i < matrices.length(); ++i)
                for (unsigned r = 0; r < 4; ++r)
                    for (unsigned c = 0; c < 4; ++c)
                        values.append(matrices[i](r, c));
        }
        MPxCommand::setResult(values);
        return MS::kSuccess;
    }
    case kPointArray: {
        const MObject value = plug.asMObject();  // holds the data while it is read
        const PointArrayData* points = dataAs<PointArrayData>(value, MFnData::kPointArray);
        MDoubleArray values;
        for (unsigned i = 0; points && i < points->value.length(); ++i)
            for (unsigned k = 0; k < 4; ++k)
                values.append(points->value[i][k]);
        MPxCommand::setResult(values);
        return MS::kSuccess;
    }
    case kComponentList: {
        const MObject value = plug.asMObject();  // holds the data while it is read
        const ComponentListData* list = dataAs<ComponentListData>(value, MFnData::kComponentList);
        MPxCommand::setResult(list ? list->components : MStringArray());
        return MS::kSuccess;
    }
    case kMessage: return fail(command, name + " is a message attribute and holds no value.");
    default: return fail(command, MString("the value of ") + name + " cannot be shown as text.");
    }
}

bool PlugValue::formatWords(const MPlug& plug, std::string& out)
{
    const Kind kind = kindOf(plug);
    if (isScalar(kind)) {
        appendScalar(out, plug, kind);
        return true;
    }
    if (kind != kNumericCompound && !isScalarCompound(PlugAccess::attribute(plug)))
        return false;
    const unsigned n = plug.numChildren();
    for (unsigned i = 0; i < n; ++i) {
        MPlug child = plug.child(i);
        appendScalar(out, child, kindOf(child));
    }
    return true;
}

bool PlugValue::format(const MPlug& plug, std::string& out)
{
    const Attribute* attr = PlugAccess::attribute(plug);
    const Kind kind = kindOf(attr);
    if (isScalar(kind))
        return formatWords(plug, out);
    const MString type = typeName(plug);
    switch (kind) {
    case kNumericCompound:
        out += " -type \"";
        out += type.asChar();
        out += '"';
        return formatWords(plug, out);
    case kString: {
        MObject data = plug.asMObject();
        out += " -type \"string\" ";
        const MString quoted = ValueText::quote(data.isNull() ? MString() : MFnStringData(data).string());
        out.append(quoted.asChar(), quoted.length());
        return true;
    }
    case kStringArray: {
        MObject data = plug.asMObject();
        const MStringArray values = data.isNull() ? MStringArray() : MFnStringArrayData(data).array();
        out += " -type \"stringArray\" ";
        out += std::to_string(values.length());
        for (unsigned i = 0; i < values.length(); ++i)
            appendWord(out, ValueText::quote(values[i]));
        return true;
    }
    case kIntArray: {
        MObject data = plug.asMObject();
        const MIntArray values = data.isNull() ? MIntArray() : MFnIntArrayData(data).array();
        out += " -type \"Int32Array\" ";
        out += std::to_string(values.length());
        for (unsigned i = 0; i < values.length(); ++i) {
            out += ' ';
            out += std::to_string(values[i]);
        }
        return true;
    }
    case kDoubleArray: {
        MObject data = plug.asMObject();
        const MDoubleArray values = data.isNull() ? MDoubleArray() : MFnDoubleArrayData(data).array();
        out += " -type \"doubleArray\" ";
        out += std::to_string(values.length());
        for (unsigned i = 0; i < values.length(); ++i) {
            out += ' ';
            appendDouble(out, values[i]);
        }
        return true;
    }
    case kMatrix: {
        out += " -type \"matrix\"";
        const MObject value = plug.asMObject();  // holds the data while it is read
        const MatrixData* matrix = dataAs<MatrixData>(value, MFnData::kMatrix);
        if (matrix && matrix->xform) {
            out += " \"xform\"";
            for (double v : matrix->xform->values) {
                out += ' ';
                appendDouble(out, v);
            }
            out += matrix->xform->compensate ? " yes" : " no";
            return true;
        }
        appendMatrix(out, matrixValue(plug));
        return true;
    }
    case kPointArray: {
        const MObject value = plug.asMObject();  // holds the data while it is read
        const PointArrayData* points = dataAs<PointArrayData>(value, MFnData::kPointArray);
        const unsigned n = points ? points->value.length() : 0;
        out += " -type \"pointArray\" ";
        out += std::to_string(n);
        for (unsigned i = 0; i < n; ++i)
            for (unsigned k = 0; k < 4; ++k) {
                out += ' ';
                appendDouble(out, points->value[i][k]);
            }
        return true;
    }
    case kComponentList: {
        const MObject value = plug.asMObject();  // holds the data while it is read
        const ComponentListData* list = dataAs<ComponentListData>(value, MFnData::kComponentList);
        const unsigned n = list ? list->components.length() : 0;
        out += " -type \"componentList\" ";
        out += std::to_string(n);
        for (unsigned i = 0; i < n; ++i)
            appendWord(out, ValueText::quote(list->components[i]));
        return true;
    }
    case kMatrixArray: {
        MObject data = plug.asMObject();
        const MMatrixArray values = data.isNull() ? MMatrixArray() : MFnMatrixArrayData(data).array();
        out += " -type \"matrixArray\" ";
        out += std::to_string(values.length());
        for (unsigned i = 0; i < values.length(); ++i)
            appendMatrix(out, values[i]);
        return true;
    }
    case kMesh:
    case kNurbsCurve:
    case kGeneric: {
        // Geometry only: a generic attribute's numbers are not written.
        MObject data = plug.asMObject();
        if (const MeshData* mesh = kind != kNurbsCurve ? meshDataOf(data) : nullptr) {
            GeometryFileText::formatMeshValue(mesh->read(), out);
            return true;
        }
        const CurveData* curve = kind != kMesh ? curveDataOf(data) : nullptr;
        if (curve && curve->geometry.valid()) {
            GeometryFileText::formatCurveValue(curve->geometry, out);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

} // namespace host
