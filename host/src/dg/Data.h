#pragma once
// Data objects: the values of typed, matrix and generic attributes, created by
// the MFn*Data function sets and stored in plug slots as MObjects.

#include "dg/Object.h"

#include <maya/MDoubleArray.h>
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MMatrixArray.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTransformationMatrix.h>

#include <memory>
#include <vector>

namespace host {

class Data : public Object
{
public:
    static constexpr Kind kKind = Kind::Data;

    Data(MFn::Type apiType, MFnData::Type dataType) : Object(Kind::Data, apiType), dataType(dataType) {}
    // A new object with the same value.
    virtual Data* clone() const = 0;
    virtual bool equals(const Data& other) const = 0;

    const MFnData::Type dataType;
};

inline Data* dataOf(const MObject& object) { return objectAs<Data>(object); }
template <class T>
T* dataAs(const MObject& object, MFnData::Type type)
{
    Data* d = dataOf(object);
    return (d && d->dataType == type) ? static_cast<T*>(d) : nullptr;
}
// Deep copy of a data object (null stays null).
MObject cloneData(const MObject& object);
bool dataEquals(const MObject& a, const MObject& b);

class NumericData : public Data
{
public:
    explicit NumericData(MFnNumericData::Type t) : Data(MFn::kNumericData, MFnData::kNumeric), numericType(t) {}
    Data* clone() const override;
    bool equals(const Data& other) const override;
    MFnNumericData::Type numericType;
    double values[4] = {0, 0, 0, 0};
};

// Data holding one value of type V.
template <class V, MFn::Type FnType, MFnData::Type DataType>
class ValueData : public Data
{
public:
    ValueData() : Data(FnType, DataType) {}
    explicit ValueData(const V& v) : Data(FnType, DataType), value(v) {}
    Data* clone() const override { return new ValueData(value); }
    bool equals(const Data& other) const override
    {
        return other.dataType == DataType && static_cast<const ValueData&>(other).value == value;
    }
    V value;
};

template <class A>
bool sameArray(const A& a, const A& b)
{
    if (a.length() != b.length())
        return false;
    for (unsigned i = 0; i < a.length(); ++i)
        if (!(a[i] == b[i]))
            return false;
    return true;
}

template <class A, MFn::Type FnType, MFnData::Type DataType>
class ArrayData : public Data
{
public:
    ArrayData() : Data(FnType, DataType) {}
    explicit ArrayData(const A& v) : Data(FnType, DataType), value(v) {}
    Data* clone() const override { return new ArrayData(value); }
    bool equals(const Data& other) const override
    {
        return other.dataType == DataType && sameArray(static_cast<const ArrayData&>(other).value, value);
    }
    A value;
};

typedef ValueData<MString, MFn::kStringData, MFnData::kString> StringData;
typedef ArrayData<MIntArray, MFn::kIntArrayData, MFnData::kIntArray> IntArrayData;
typedef ArrayData<MDoubleArray, MFn::kDoubleArrayData, MFnData::kDoubleArray> DoubleArrayData;
typedef ArrayData<MStringArray, MFn::kStringArrayData, MFnData::kStringArray> StringArrayData;
typedef ArrayData<MMatrixArray, MFn::kMatrixArrayData, MFnData::kMatrixArray> MatrixArrayData;
typedef ArrayData<MPointArray, MFn::kPointArrayData, MFnData::kPointArray> PointArrayData;

// Maya's "xform" form of a matrix, as scene files give it (a pose's local transformations):
// scale, rotate (radians), rotate order, translate, shear, scale pivot and its translation,
// rotate pivot and its translation, rotate axis and joint orient quaternions (x y z w), the
// inverse parent scale, then whether that scale is compensated.
struct XformParts
{
    enum { kScale = 0, kRotate = 3, kRotateOrder = 6, kTranslate = 7, kShear = 10, kScalePivot = 13,
           kScalePivotTranslate = 16, kRotatePivot = 19, kRotatePivotTranslate = 22, kRotateAxis = 25,
           kJointOrient = 29, kInverseScale = 33, kCount = 36 };
    double values[kCount] = {};
    bool compensate = false;
    // The matrix the parts compose.
    MMatrix asMatrix() const;
};

class MatrixData : public Data
{
public:
    MatrixData() : Data(MFn::kMatrixData, MFnData::kMatrix) {}
    Data* clone() const override;
    bool equals(const Data& other) const override;
    MMatrix matrix;
    std::unique_ptr<MTransformationMatrix> transformation;  // set when created from one
    std::unique_ptr<XformParts> xform;                       // set when read in the "xform" form
};

// Components as scene files name them ("vtx[0:5]", "f[20]", "cv[3]"), kept as written.
class ComponentListData : public Data
{
public:
    ComponentListData() : Data(MFn::kComponentListData, MFnData::kComponentList) {}
    Data* clone() const override;
    bool equals(const Data& other) const override;
    MStringArray components;
    // The indices below `count` that the vertex, CV and point components name ("vtx[2:5]",
    // "cv[*]", "pt[0]"), sorted and without repeats; false when a component is of another
    // kind or unreadable.
    bool pointIndices(int count, std::vector<int>& indices) const;
};

// Geometry (mesh, curve ...): the geometry code of later work derives from it.
class GeometryData : public Data
{
public:
    GeometryData(MFn::Type apiType, MFnData::Type dataType) : Data(apiType, dataType) {}
    Data* clone() const override;
    bool equals(const Data& other) const override;
    MMatrix matrix;  // geometry transformation (identity by default)
};

// Creates an empty data object of a data type (typed attribute defaults and
// MDataHandle::data on an unset value).
MObject createEmptyData(MFnData::Type type);
// Lets the geometry code supply its own empty objects (e.g. real mesh data).
typedef MObject (*EmptyDataFactory)();
void setEmptyDataFactory(MFnData::Type type, EmptyDataFactory factory);

} // namespace host
