#include <maya/MDataHandle.h>

#include <maya/MAngle.h>
#include <maya/MDistance.h>
#include <maya/MFloatMatrix.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <maya/MVector.h>

#include "dg/Data.h"
#include "dg/DataAccess.h"
#include "dg/Graph.h"

#include <cstring>
#include <new>
#include <type_traits>

using host::Attribute;
using host::AttrKind;
using host::Slot;

namespace {

// The numeric type a slot's storage holds (numeric-compound children use the parent's).
MFnNumericData::Type storageType(Slot* slot, host::NumericValue*& storage, int& component)
{
    storage = slot->numericStorage(component);
    const Attribute* a = slot->attr;
    return storage == &slot->num ? a->numericType : a->parent->numericType;
}

MFnNumericData::Type componentOf(MFnNumericData::Type t)
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

// Storage of one scalar component of type T.
template <class T>
T* scalarIn(host::NumericValue& v, int c)
{
    if constexpr (std::is_same<T, bool>::value)
        return &v.b;
    else if constexpr (std::is_same<T, char>::value)
        return &v.c;
    else if constexpr (std::is_same<T, unsigned char>::value)
        return &v.uc;
    else if constexpr (std::is_same<T, short>::value)
        return &v.s3[c];
    else if constexpr (std::is_same<T, int>::value)
        return &v.i3[c];
    else if constexpr (std::is_same<T, MInt64>::value)
        return &v.l;
    else if constexpr (std::is_same<T, float>::value)
        return &v.f3[c];
    else
        return &v.d4[c];
}

// Scratch space of a handle viewed as T (only for values written there first).
template <class T>
T& scratchAs(double* scratch, const T& value)
{
    static_assert(sizeof(T) <= 16 * sizeof(double), "scratch too small");
    return *new (scratch) T(value);
}

// Reference to a scalar in place when the stored type matches; otherwise a
// converted copy in the handle's scratch space (writes to it are not kept).
template <class T>
T& scalarRef(Slot* slot, MFnNumericData::Type want, double* scratch)
{
    if (!slot)
        return scratchAs<T>(scratch, T());
    if (slot->attr->attrKind != AttrKind::Generic && !slot->isArray() && !slot->attr->isNumericCompound()) {
        host::NumericValue* v = nullptr;
        int c = 0;
        if (componentOf(storageType(slot, v, c)) == want)
            return *scalarIn<T>(*v, c);
    }
    return scratchAs<T>(scratch, static_cast<T>(host::getNumeric(slot)));
}

// Packed components of a numeric compound of the given component type, or
// converted values in scratch space.
template <class T, class E>
T& tupleRef(Slot* slot, MFnNumericData::Type component, int count, double* scratch)
{
    bool packed = slot && slot->attr->isNumericCompound() && !slot->isArray();
    if (packed && componentOf(slot->attr->numericType) == component)
        return *reinterpret_cast<T*>(scalarIn<E>(slot->num, 0));
    E values[4] = {E(), E(), E(), E()};
    for (int i = 0; packed && i < count; ++i)
        values[i] = static_cast<E>(host::getNumeric(slot, i));
    E* out = new (scratch) E[4];
    for (int i = 0; i < 4; ++i)
        out[i] = values[i];
    return *reinterpret_cast<T*>(out);
}

// The slot's data object of the given kind, created empty when missing.
template <class D>
D* ensureData(Slot* slot, MFnData::Type type)
{
    if (!slot)
        return nullptr;
    if (D* d = host::dataAs<D>(slot->data, type))
        return d;
    slot->data = host::createEmptyData(type);
    slot->hasData = true;
    return host::dataAs<D>(slot->data, type);
}

void setTuple(Slot* slot, const double* values, int count)
{
    if (!slot)
        return;
    if (slot->attr->isNumericCompound()) {
        for (int i = 0; i < count && i < static_cast<int>(slot->attr->children.size()); ++i)
            host::setNumeric(slot, values[i], i, false);
    } else if (slot->attr->attrKind == AttrKind::Generic) {
        auto* d = new host::NumericData(count == 2 ? MFnNumericData::k2Double : MFnNumericData::k3Double);
        for (int i = 0; i < count; ++i)
            d->values[i] = values[i];
        slot->data = host::ObjectAccess::make(d);
        slot->hasData = true;
    }
}

void setScalar(Slot* slot, double value)
{
    if (slot && !slot->isArray())
        host::setNumeric(slot, value, 0, false);
}

MStatus setDataObject(Slot* slot, const MObject& data)
{
    if (!slot)
        return MStatus::kInvalidParameter;
    host::Data* d = host::dataOf(data);
    if (!data.isNull() && !d)
        return MStatus::kInvalidParameter;
    const Attribute* a = slot->attr;
    if (a->isNumericCompound()) {
        host::NumericData* n = host::dataAs<host::NumericData>(data, MFnData::kNumeric);
        if (!n)
            return MStatus::kInvalidParameter;
        for (size_t i = 0; i < a->children.size(); ++i)
            host::setNumeric(slot, n->values[i], static_cast<int>(i), false);
        return MStatus::kSuccess;
    }
    if (d && a->attrKind == AttrKind::Typed && a->dataType != MFnData::kAny && a->dataType != d->dataType)
        return MStatus::kInvalidParameter;
    if (d && a->attrKind == AttrKind::Matrix && d->dataType != MFnData::kMatrix)
        return MStatus::kInvalidParameter;
    if (a->attrKind == AttrKind::Message || a->attrKind == AttrKind::Numeric || a->attrKind == AttrKind::Enum ||
        a->attrKind == AttrKind::Unit)
        return MStatus::kInvalidParameter;
    slot->data = data;
    slot->hasData = !data.isNull();
    return MStatus::kSuccess;
}

} // namespace

MDataHandle::MDataHandle() : mSlot(nullptr) {}

MDataHandle::MDataHandle(const MDataHandle& other) : mSlot(other.mSlot) {}

MDataHandle& MDataHandle::operator=(const MDataHandle& other)
{
    mSlot = other.mSlot;
    return *this;
}

MDataHandle::~MDataHandle() = default;

bool MDataHandle::isNumeric() const
{
    if (!mSlot)
        return false;
    switch (mSlot->attr->attrKind) {
    case AttrKind::Numeric: case AttrKind::Enum: case AttrKind::Unit:
        return true;
    case AttrKind::Compound:
        return mSlot->attr->isNumericCompound();
    case AttrKind::Generic:
        return host::dataAs<host::NumericData>(mSlot->data, MFnData::kNumeric) != nullptr;
    default:
        return false;
    }
}

bool MDataHandle::isGeneric(bool& isNumericValue, bool& isNull) const
{
    isNumericValue = isNumeric();
    isNull = !mSlot || mSlot->data.isNull();
    return mSlot && mSlot->attr->attrKind == AttrKind::Generic;
}

MFnNumericData::Type MDataHandle::numericType() const
{
    if (!mSlot)
        return MFnNumericData::kInvalid;
    if (host::NumericData* d = host::dataAs<host::NumericData>(mSlot->data, MFnData::kNumeric))
        return d->numericType;
    return mSlot->attr->numericType;
}

MFnData::Type MDataHandle::type() const
{
    if (!mSlot)
        return MFnData::kInvalid;
    const Attribute* a = mSlot->attr;
    switch (a->attrKind) {
    case AttrKind::Typed: return a->dataType;
    case AttrKind::Matrix: return MFnData::kMatrix;
    case AttrKind::Generic: {
        host::Data* d = host::dataOf(mSlot->data);
        return d ? d->dataType : MFnData::kInvalid;
    }
    case AttrKind::Message: return MFnData::kInvalid;
    case AttrKind::Compound: return a->isNumericCompound() ? MFnData::kNumeric : MFnData::kInvalid;
    default: return MFnData::kNumeric;
    }
}

MTypeId MDataHandle::typeId() const
{
    return mSlot ? mSlot->attr->pluginTypeId : MTypeId();
}

MObject MDataHandle::data()
{
    if (!mSlot)
        return MObject();
    const Attribute* a = mSlot->attr;
    if (mSlot->data.isNull() && a->attrKind == AttrKind::Typed && a->dataType != MFnData::kAny) {
        mSlot->data = host::createEmptyData(a->dataType);
        mSlot->hasData = !mSlot->data.isNull();
    }
    return mSlot->data;
}

MStatus MDataHandle::copy(const MDataHandle& src)
{
    if (!mSlot || !src.mSlot)
        return MStatus::kInvalidParameter;
    if (mSlot == src.mSlot)
        return MStatus::kSuccess;
    if (isNumeric() && src.isNumeric() && !mSlot->attr->isNumericCompound())
        host::setNumeric(mSlot, host::getNumeric(src.mSlot), 0, false);
    else
        mSlot->copyValueFrom(*src.mSlot);
    return MStatus::kSuccess;
}

MStatus MDataHandle::copyWritable(const MDataHandle& src)
{
    MStatus status = copy(src);
    // A private copy, so the destination can be edited without touching the source.
    if (status && mSlot && !mSlot->data.isNull())
        mSlot->data = host::cloneData(mSlot->data);
    return status;
}

bool& MDataHandle::asBool() const { return scalarRef<bool>(mSlot, MFnNumericData::kBoolean, mScratch); }
char& MDataHandle::asChar() const { return scalarRef<char>(mSlot, MFnNumericData::kChar, mScratch); }
unsigned char& MDataHandle::asUChar() const { return scalarRef<unsigned char>(mSlot, MFnNumericData::kByte, mScratch); }
short& MDataHandle::asShort() const { return scalarRef<short>(mSlot, MFnNumericData::kShort, mScratch); }
int& MDataHandle::asInt() const { return scalarRef<int>(mSlot, MFnNumericData::kInt, mScratch); }
MInt64& MDataHandle::asInt64() const { return scalarRef<MInt64>(mSlot, MFnNumericData::kInt64, mScratch); }
float& MDataHandle::asFloat() const { return scalarRef<float>(mSlot, MFnNumericData::kFloat, mScratch); }
double& MDataHandle::asDouble() const { return scalarRef<double>(mSlot, MFnNumericData::kDouble, mScratch); }

void*& MDataHandle::asAddr() const
{
    if (mSlot && mSlot->attr->numericType == MFnNumericData::kAddr)
        return mSlot->num.addr;
    return scratchAs<void*>(mScratch, nullptr);
}

MDistance MDataHandle::asDistance() const { return MDistance(mSlot ? host::getNumeric(mSlot) : 0.0, MDistance::kCentimeters); }
MAngle MDataHandle::asAngle() const { return MAngle(mSlot ? host::getNumeric(mSlot) : 0.0, MAngle::kRadians); }
MTime MDataHandle::asTime() const { return MTime(mSlot ? host::getNumeric(mSlot) : 0.0, MTime::kSeconds); }

short2& MDataHandle::asShort2() const { return tupleRef<short2, short>(mSlot, MFnNumericData::kShort, 2, mScratch); }
int2& MDataHandle::asInt2() const { return tupleRef<int2, int>(mSlot, MFnNumericData::kInt, 2, mScratch); }
float2& MDataHandle::asFloat2() const { return tupleRef<float2, float>(mSlot, MFnNumericData::kFloat, 2, mScratch); }
double2& MDataHandle::asDouble2() const { return tupleRef<double2, double>(mSlot, MFnNumericData::kDouble, 2, mScratch); }
short3& MDataHandle::asShort3() const { return tupleRef<short3, short>(mSlot, MFnNumericData::kShort, 3, mScratch); }
int3& MDataHandle::asInt3() const { return tupleRef<int3, int>(mSlot, MFnNumericData::kInt, 3, mScratch); }
float3& MDataHandle::asFloat3() const { return tupleRef<float3, float>(mSlot, MFnNumericData::kFloat, 3, mScratch); }
double3& MDataHandle::asDouble3() const { return tupleRef<double3, double>(mSlot, MFnNumericData::kDouble, 3, mScratch); }
MVector& MDataHandle::asVector() const
{
    if (mSlot && mSlot->attr->isNumericCompound() && componentOf(mSlot->attr->numericType) == MFnNumericData::kDouble)
        return mSlot->num.vec;
    const double3& v = asDouble3();
    return scratchAs<MVector>(mScratch + 8, MVector(v[0], v[1], v[2]));
}

MFloatVector& MDataHandle::asFloatVector() const
{
    if (mSlot && mSlot->attr->isNumericCompound() && componentOf(mSlot->attr->numericType) == MFnNumericData::kFloat)
        return mSlot->num.fvec;
    const float3& v = asFloat3();
    return scratchAs<MFloatVector>(mScratch + 8, MFloatVector(v[0], v[1], v[2]));
}

MMatrix& MDataHandle::asMatrix() const
{
    if (host::MatrixData* d = ensureData<host::MatrixData>(mSlot, MFnData::kMatrix))
        return d->matrix;
    static thread_local MMatrix scratch;
    scratch = MMatrix();
    return scratch;
}

MFloatMatrix& MDataHandle::asFloatMatrix() const
{
    return scratchAs<MFloatMatrix>(mScratch, MFloatMatrix(asMatrix().matrix));
}

MString& MDataHandle::asString() const
{
    if (host::StringData* d = ensureData<host::StringData>(mSlot, MFnData::kString))
        return d->value;
    static thread_local MString scratch;
    scratch = MString();
    return scratch;
}

MObject MDataHandle::asMesh() const { return mSlot ? mSlot->data : MObject(); }
MObject MDataHandle::asNurbsCurve() const { return mSlot ? mSlot->data : MObject(); }
MObject MDataHandle::asNurbsSurface() const { return mSlot ? mSlot->data : MObject(); }
MObject MDataHandle::asSubdSurface() const { return mSlot ? mSlot->data : MObject(); }
MObject MDataHandle::asMeshTransformed() const { return asMesh(); }
MObject MDataHandle::asNurbsCurveTransformed() const { return asNurbsCurve(); }
MPxData* MDataHandle::asPluginData() const { return nullptr; }

void MDataHandle::set(bool v) { setScalar(mSlot, v ? 1.0 : 0.0); }
void MDataHandle::set(char v) { setScalar(mSlot, v); }
void MDataHandle::set(short v) { setScalar(mSlot, v); }
void MDataHandle::set(int v) { setScalar(mSlot, v); }
void MDataHandle::set(MInt64 v) { setScalar(mSlot, static_cast<double>(v)); }
void MDataHandle::set(float v) { setScalar(mSlot, v); }
void MDataHandle::set(double v) { setScalar(mSlot, v); }
void MDataHandle::set(const MDistance& v) { setScalar(mSlot, v.as(MDistance::kCentimeters)); }
void MDataHandle::set(const MAngle& v) { setScalar(mSlot, v.as(MAngle::kRadians)); }
void MDataHandle::set(const MTime& v) { setScalar(mSlot, v.as(MTime::kSeconds)); }

void MDataHandle::set(const MMatrix& v)
{
    if (host::MatrixData* d = ensureData<host::MatrixData>(mSlot, MFnData::kMatrix)) {
        d->matrix = v;
        d->transformation.reset();
    }
}

void MDataHandle::set(const MFloatMatrix& v)
{
    MMatrix m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m[r][c] = v[r][c];
    set(m);
}

void MDataHandle::set(const MVector& v) { set(v.x, v.y, v.z); }
void MDataHandle::set(const MFloatVector& v) { set(v.x, v.y, v.z); }

void MDataHandle::set(const MString& v)
{
    if (host::StringData* d = ensureData<host::StringData>(mSlot, MFnData::kString))
        d->value = v;
}

void MDataHandle::set(short a, short b) { set(static_cast<double>(a), static_cast<double>(b)); }
void MDataHandle::set(int a, int b) { set(static_cast<double>(a), static_cast<double>(b)); }
void MDataHandle::set(float a, float b) { set(static_cast<double>(a), static_cast<double>(b)); }

void MDataHandle::set(double a, double b)
{
    const double v[2] = {a, b};
    setTuple(mSlot, v, 2);
}

void MDataHandle::set(short a, short b, short c) { set(double(a), double(b), double(c)); }
void MDataHandle::set(int a, int b, int c) { set(double(a), double(b), double(c)); }
void MDataHandle::set(float a, float b, float c) { set(double(a), double(b), double(c)); }

void MDataHandle::set(double a, double b, double c)
{
    const double v[3] = {a, b, c};
    setTuple(mSlot, v, 3);
}

MStatus MDataHandle::set(const MObject& data)
{
    return setDataObject(mSlot, data);
}

MStatus MDataHandle::set(MPxData*)
{
    return MStatus::kNotImplemented;
}

void MDataHandle::setBool(bool v) { set(v); }
void MDataHandle::setChar(char v) { set(v); }
void MDataHandle::setShort(short v) { set(v); }
void MDataHandle::setInt(int v) { set(v); }
void MDataHandle::setInt64(MInt64 v) { set(v); }
void MDataHandle::setFloat(float v) { set(v); }
void MDataHandle::setDouble(double v) { set(v); }
void MDataHandle::setMMatrix(const MMatrix& v) { set(v); }
void MDataHandle::setMFloatMatrix(const MFloatMatrix& v) { set(v); }
void MDataHandle::setMVector(const MVector& v) { set(v); }
void MDataHandle::setMFloatVector(const MFloatVector& v) { set(v); }
void MDataHandle::setMDistance(const MDistance& v) { set(v); }
void MDataHandle::setMAngle(const MAngle& v) { set(v); }
void MDataHandle::setMTime(const MTime& v) { set(v); }
void MDataHandle::setString(const MString& v) { set(v); }
void MDataHandle::set2Short(short a, short b) { set(a, b); }
void MDataHandle::set2Int(int a, int b) { set(a, b); }
void MDataHandle::set2Float(float a, float b) { set(a, b); }
void MDataHandle::set2Double(double a, double b) { set(a, b); }
void MDataHandle::set3Short(short a, short b, short c) { set(a, b, c); }
void MDataHandle::set3Int(int a, int b, int c) { set(a, b, c); }
void MDataHandle::set3Float(float a, float b, float c) { set(a, b, c); }
void MDataHandle::set3Double(double a, double b, double c) { set(a, b, c); }

void MDataHandle::setClean()
{
    if (mSlot)
        host::setClean(mSlot);
}

MDataHandle MDataHandle::child(const MPlug& plug)
{
    return child(plug.attribute());
}

MDataHandle MDataHandle::child(const MObject& attribute)
{
    Attribute* a = host::attributeOf(attribute);
    if (!mSlot || !a || mSlot->isArray())
        return MDataHandle();
    for (auto& c : mSlot->children)
        if (c->attr == a)
            return host::DataAccess::handle(c.get());
    return MDataHandle();
}

MObject MDataHandle::attribute()
{
    return mSlot ? host::ObjectAccess::make(mSlot->attr) : MObject();
}
