#include <maya/MFnNumericAttribute.h>

#include "dg/FnSet.h"

using host::AttrKind;
using host::Attribute;

HOST_FN_SET_BASICS(MFnNumericAttribute, MFn::kNumericAttribute)

namespace {

// Components of a numeric type, and the type of one component.
int componentCount(MFnNumericData::Type t)
{
    switch (t) {
    case MFnNumericData::k2Short: case MFnNumericData::k2Int: case MFnNumericData::k2Float:
    case MFnNumericData::k2Double:
        return 2;
    case MFnNumericData::k3Short: case MFnNumericData::k3Int: case MFnNumericData::k3Float:
    case MFnNumericData::k3Double:
        return 3;
    case MFnNumericData::k4Double:
        return 4;
    default:
        return 1;
    }
}

MFnNumericData::Type componentType(MFnNumericData::Type t)
{
    switch (t) {
    case MFnNumericData::k2Short: case MFnNumericData::k3Short: return MFnNumericData::kShort;
    case MFnNumericData::k2Int: case MFnNumericData::k3Int: return MFnNumericData::kInt;
    case MFnNumericData::k2Float: case MFnNumericData::k3Float: return MFnNumericData::kFloat;
    case MFnNumericData::k2Double: case MFnNumericData::k3Double: case MFnNumericData::k4Double:
        return MFnNumericData::kDouble;
    default: return t;
    }
}

// The n-component type made of `component`, or kInvalid.
MFnNumericData::Type tupleType(MFnNumericData::Type component, int n)
{
    switch (component) {
    case MFnNumericData::kShort:
        return n == 2 ? MFnNumericData::k2Short : n == 3 ? MFnNumericData::k3Short : MFnNumericData::kInvalid;
    case MFnNumericData::kInt:
        return n == 2 ? MFnNumericData::k2Int : n == 3 ? MFnNumericData::k3Int : MFnNumericData::kInvalid;
    case MFnNumericData::kFloat:
        return n == 2 ? MFnNumericData::k2Float : n == 3 ? MFnNumericData::k3Float : MFnNumericData::kInvalid;
    case MFnNumericData::kDouble:
        return n == 2 ? MFnNumericData::k2Double : n == 3 ? MFnNumericData::k3Double
             : n == 4 ? MFnNumericData::k4Double : MFnNumericData::kInvalid;
    default:
        return MFnNumericData::kInvalid;
    }
}

MFn::Type compoundFnType(MFnNumericData::Type t)
{
    switch (t) {
    case MFnNumericData::k2Short: return MFn::kAttribute2Short;
    case MFnNumericData::k2Int: return MFn::kAttribute2Int;
    case MFnNumericData::k2Float: return MFn::kAttribute2Float;
    case MFnNumericData::k2Double: return MFn::kAttribute2Double;
    case MFnNumericData::k3Short: return MFn::kAttribute3Short;
    case MFnNumericData::k3Int: return MFn::kAttribute3Int;
    case MFnNumericData::k3Float: return MFn::kAttribute3Float;
    case MFnNumericData::k3Double: return MFn::kAttribute3Double;
    default: return MFn::kAttribute4Double;
    }
}

// Numeric compound over existing children; children keep their own defaults.
MObject makeCompound(const MString& name, const MString& brief, MFnNumericData::Type type,
                     const MObject* kids, int count, MStatus* status)
{
    MObject obj = host::newAttribute(AttrKind::Compound, compoundFnType(type), name, brief, status);
    Attribute* parent = host::attributeOf(obj);
    if (!parent)
        return MObject();
    parent->numericType = type;
    for (int i = 0; i < count; ++i) {
        Attribute* child = host::attributeOf(kids[i]);
        MStatus st = parent->addChild(child);
        if (!st) {
            host::setStatus(status, st);
            return MObject();
        }
        parent->defaults[i] = child->defaults[0];
    }
    return obj;
}

MObject makeTuple(const MString& name, const MString& brief, MFnNumericData::Type type, const char* const* suffixes,
                  double defaultValue, MStatus* status)
{
    int n = componentCount(type);
    MObject kids[4];
    for (int i = 0; i < n; ++i) {
        kids[i] = host::newAttribute(AttrKind::Numeric, MFn::kNumericAttribute, name + suffixes[i],
                                     brief + suffixes[i], status);
        Attribute* child = host::attributeOf(kids[i]);
        if (!child)
            return MObject();
        child->numericType = componentType(type);
        child->defaults[0] = defaultValue;
    }
    return makeCompound(name, brief, type, kids, n, status);
}

const char* const kDigitSuffixes[] = {"0", "1", "2", "3"};
const char* const kXyzSuffixes[] = {"X", "Y", "Z"};
const char* const kRgbSuffixes[] = {"R", "G", "B"};

} // namespace

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName, MFnNumericData::Type unitType,
                                    double defaultValue, MStatus* ReturnStatus)
{
    MObject obj;
    if (unitType <= MFnNumericData::kInvalid || unitType >= MFnNumericData::kLast) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return obj;
    }
    if (componentCount(unitType) > 1) {
        obj = makeTuple(fullName, briefName, unitType, kDigitSuffixes, defaultValue, ReturnStatus);
    } else {
        obj = host::newAttribute(AttrKind::Numeric, MFn::kNumericAttribute, fullName, briefName, ReturnStatus);
        if (Attribute* a = host::attributeOf(obj)) {
            a->numericType = unitType;
            a->defaults[0] = defaultValue;
        }
    }
    mObject = obj;
    return obj;
}

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName, const MObject& child1,
                                    const MObject& child2, const MObject& child3, MStatus* ReturnStatus)
{
    const MObject kids[3] = {child1, child2, child3};
    int n = child3.isNull() ? (child2.isNull() ? 1 : 2) : 3;
    MFnNumericData::Type component = MFnNumericData::kInvalid;
    for (int i = 0; i < n; ++i) {
        Attribute* a = host::attributeOf(kids[i]);
        bool scalar = a && (a->attrKind == AttrKind::Numeric || a->attrKind == AttrKind::Unit) &&
                      componentCount(a->numericType) == 1;
        if (!scalar || (i > 0 && a->numericType != component)) {
            host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
            mObject = MObject();
            return MObject();
        }
        component = a->numericType;
    }
    MFnNumericData::Type type = tupleType(component, n);
    if (type == MFnNumericData::kInvalid) {
        host::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        mObject = MObject();
        return MObject();
    }
    mObject = makeCompound(fullName, briefName, type, kids, n, ReturnStatus);
    return mObject;
}

MObject MFnNumericAttribute::createColor(const MString& fullName, const MString& briefName, MStatus* ReturnStatus)
{
    mObject = makeTuple(fullName, briefName, MFnNumericData::k3Float, kRgbSuffixes, 0.0, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject))
        a->set(host::kUsedAsColor, true);
    return mObject;
}

MObject MFnNumericAttribute::createPoint(const MString& fullName, const MString& briefName, MStatus* ReturnStatus)
{
    mObject = makeTuple(fullName, briefName, MFnNumericData::k3Float, kXyzSuffixes, 0.0, ReturnStatus);
    return mObject;
}

MObject MFnNumericAttribute::createAddr(const MString& fullName, const MString& briefName, void* defaultValue,
                                        MStatus* ReturnStatus)
{
    mObject = host::newAttribute(AttrKind::Numeric, MFn::kNumericAttribute, fullName, briefName, ReturnStatus);
    if (Attribute* a = host::attributeOf(mObject)) {
        a->numericType = MFnNumericData::kAddr;
        a->set(host::kStorable, false);
        (void)defaultValue;  // addresses always start null
    }
    return mObject;
}

MFnNumericData::Type MFnNumericAttribute::unitType(MStatus* ReturnStatus) const
{
    Attribute* a = host::attributeOf(mObject);
    host::setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a ? a->numericType : MFnNumericData::kInvalid;
}

namespace {
enum Limit { kMinLimit, kMaxLimit, kSoftMinLimit, kSoftMaxLimit };

bool hasLimit(const MObject& object, Limit which, MStatus* status)
{
    Attribute* a = host::attributeOf(object);
    host::setStatus(status, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!a)
        return false;
    switch (which) {
    case kMinLimit: return a->hasMin;
    case kMaxLimit: return a->hasMax;
    case kSoftMinLimit: return a->hasSoftMin;
    default: return a->hasSoftMax;
    }
}
} // namespace

bool MFnNumericAttribute::hasMin(MStatus* s) const { return hasLimit(mObject, kMinLimit, s); }
bool MFnNumericAttribute::hasMax(MStatus* s) const { return hasLimit(mObject, kMaxLimit, s); }
bool MFnNumericAttribute::hasSoftMin(MStatus* s) const { return hasLimit(mObject, kSoftMinLimit, s); }
bool MFnNumericAttribute::hasSoftMax(MStatus* s) const { return hasLimit(mObject, kSoftMaxLimit, s); }

MStatus MFnNumericAttribute::setLimit(int which, const double* values, int count)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || a->attrKind == AttrKind::Message)
        return MStatus::kInvalidParameter;
    if (count != componentCount(a->numericType) && !(count == 1 && a->attrKind != AttrKind::Compound))
        return MStatus::kInvalidParameter;
    switch (which) {
    case kMinLimit:
        a->hasMin = true;
        for (int i = 0; i < count; ++i)
            a->minValue[i] = values[i];
        break;
    case kMaxLimit:
        a->hasMax = true;
        for (int i = 0; i < count; ++i)
            a->maxValue[i] = values[i];
        break;
    case kSoftMinLimit:
        a->hasSoftMin = true;
        a->softMin = values[0];
        break;
    default:
        a->hasSoftMax = true;
        a->softMax = values[0];
        break;
    }
    // Numeric compounds clamp per child too.
    if ((which == kMinLimit || which == kMaxLimit) && a->attrKind == AttrKind::Compound) {
        for (int i = 0; i < count && i < static_cast<int>(a->children.size()); ++i) {
            Attribute* c = a->children[i];
            if (which == kMinLimit) {
                c->hasMin = true;
                c->minValue[0] = values[i];
            } else {
                c->hasMax = true;
                c->maxValue[0] = values[i];
            }
        }
    }
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getLimit(int which, double* values, int count) const
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    if (!hasLimit(mObject, static_cast<Limit>(which), nullptr))
        return MStatus::kFailure;
    for (int i = 0; i < count; ++i) {
        switch (which) {
        case kMinLimit: values[i] = a->minValue[i]; break;
        case kMaxLimit: values[i] = a->maxValue[i]; break;
        case kSoftMinLimit: values[i] = a->softMin; break;
        default: values[i] = a->softMax; break;
        }
    }
    return MStatus::kSuccess;
}

#define HOST_LIMIT_ACCESSORS(Name, Which)                                                        \
    MStatus MFnNumericAttribute::get##Name(double& a) const { return getLimit(Which, &a, 1); }  \
    MStatus MFnNumericAttribute::get##Name(double& a, double& b) const                          \
    {                                                                                            \
        double v[2];                                                                             \
        MStatus s = getLimit(Which, v, 2);                                                       \
        a = v[0]; b = v[1];                                                                      \
        return s;                                                                                \
    }                                                                                            \
    MStatus MFnNumericAttribute::get##Name(double& a, double& b, double& c) const               \
    {                                                                                            \
        double v[3];                                                                             \
        MStatus s = getLimit(Which, v, 3);                                                       \
        a = v[0]; b = v[1]; c = v[2];                                                            \
        return s;                                                                                \
    }                                                                                            \
    MStatus MFnNumericAttribute::set##Name(double a) { return setLimit(Which, &a, 1); }         \
    MStatus MFnNumericAttribute::set##Name(double a, double b)                                  \
    {                                                                                            \
        double v[2] = {a, b}; return setLimit(Which, v, 2);                                      \
    }                                                                                            \
    MStatus MFnNumericAttribute::set##Name(double a, double b, double c)                        \
    {                                                                                            \
        double v[3] = {a, b, c}; return setLimit(Which, v, 3);                                   \
    }

HOST_LIMIT_ACCESSORS(Min, kMinLimit)
HOST_LIMIT_ACCESSORS(Max, kMaxLimit)

MStatus MFnNumericAttribute::getSoftMin(double& a) const { return getLimit(kSoftMinLimit, &a, 1); }
MStatus MFnNumericAttribute::getSoftMax(double& a) const { return getLimit(kSoftMaxLimit, &a, 1); }
MStatus MFnNumericAttribute::setSoftMin(double a) { return setLimit(kSoftMinLimit, &a, 1); }
MStatus MFnNumericAttribute::setSoftMax(double a) { return setLimit(kSoftMaxLimit, &a, 1); }

MStatus MFnNumericAttribute::setDefaults(const double* values, int count)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a || (a->attrKind != AttrKind::Numeric && a->attrKind != AttrKind::Compound &&
               a->attrKind != AttrKind::Unit))
        return MStatus::kInvalidParameter;
    int n = componentCount(a->numericType);
    if (count != n)
        return MStatus::kInvalidParameter;
    for (int i = 0; i < n; ++i) {
        a->defaults[i] = values[i];
        if (i < static_cast<int>(a->children.size()))
            a->children[i]->defaults[0] = values[i];
    }
    return MStatus::kSuccess;
}

MStatus MFnNumericAttribute::getDefaults(double* values, int count)
{
    Attribute* a = host::attributeOf(mObject);
    if (!a)
        return MStatus::kInvalidParameter;
    if (count != componentCount(a->numericType))
        return MStatus::kInvalidParameter;
    for (int i = 0; i < count; ++i)
        values[i] = a->defaults[i];
    return MStatus::kSuccess;
}

#define HOST_DEFAULT1(T)                                                                      \
    MStatus MFnNumericAttribute::getDefault(T& a)                                             \
    {                                                                                         \
        double v; MStatus s = getDefaults(&v, 1); if (s) a = static_cast<T>(v); return s;     \
    }                                                                                         \
    MStatus MFnNumericAttribute::setDefault(T a)                                              \
    {                                                                                         \
        double v = static_cast<double>(a); return setDefaults(&v, 1);                         \
    }
#define HOST_DEFAULT2(T)                                                                      \
    MStatus MFnNumericAttribute::getDefault(T& a, T& b)                                       \
    {                                                                                         \
        double v[2]; MStatus s = getDefaults(v, 2);                                           \
        if (s) { a = static_cast<T>(v[0]); b = static_cast<T>(v[1]); }                        \
        return s;                                                                             \
    }                                                                                         \
    MStatus MFnNumericAttribute::setDefault(T a, T b)                                         \
    {                                                                                         \
        double v[2] = {static_cast<double>(a), static_cast<double>(b)}; return setDefaults(v, 2); \
    }
#define HOST_DEFAULT3(T)                                                                      \
    MStatus MFnNumericAttribute::getDefault(T& a, T& b, T& c)                                 \
    {                                                                                         \
        double v[3]; MStatus s = getDefaults(v, 3);                                           \
        if (s) { a = static_cast<T>(v[0]); b = static_cast<T>(v[1]); c = static_cast<T>(v[2]); } \
        return s;                                                                             \
    }                                                                                         \
    MStatus MFnNumericAttribute::setDefault(T a, T b, T c)                                    \
    {                                                                                         \
        double v[3] = {static_cast<double>(a), static_cast<double>(b), static_cast<double>(c)}; \
        return setDefaults(v, 3);                                                             \
    }

HOST_DEFAULT1(bool)
HOST_DEFAULT1(char)
HOST_DEFAULT1(int)
HOST_DEFAULT1(MInt64)
HOST_DEFAULT1(float)
HOST_DEFAULT1(double)
HOST_DEFAULT2(int)
HOST_DEFAULT2(float)
HOST_DEFAULT2(double)
HOST_DEFAULT3(int)
HOST_DEFAULT3(float)
HOST_DEFAULT3(double)

MStatus MFnNumericAttribute::getDefault(double& a, double& b, double& c, double& d)
{
    double v[4];
    MStatus s = getDefaults(v, 4);
    if (s) {
        a = v[0]; b = v[1]; c = v[2]; d = v[3];
    }
    return s;
}

MStatus MFnNumericAttribute::setDefault(double a, double b, double c, double d)
{
    double v[4] = {a, b, c, d};
    return setDefaults(v, 4);
}
