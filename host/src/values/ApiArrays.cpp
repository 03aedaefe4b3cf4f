// The members every API array shares, defined once for each array class.

#include "values/ArrayStorage.h"

#include <maya/MCallbackIdArray.h>
#include <maya/MColorArray.h>
#include <maya/MDagPathArray.h>
#include <maya/MDoubleArray.h>
#include <maya/MFloatArray.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVectorArray.h>
#include <maya/MIntArray.h>
#include <maya/MMatrixArray.h>
#include <maya/MObjectArray.h>
#include <maya/MPlugArray.h>
#include <maya/MPointArray.h>
#include <maya/MStringArray.h>
#include <maya/MTimeArray.h>
#include <maya/MUintArray.h>
#include <maya/MVectorArray.h>
#include <maya/MDagPath.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <algorithm>
#include <ostream>

HOST_ARRAY_COMMON_MEMBERS(MIntArray, int, int)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MIntArray, int)
HOST_ARRAY_FILLED_CONSTRUCTOR(MIntArray, int)
HOST_ARRAY_COPY(MIntArray)
HOST_ARRAY_GET(MIntArray, int)
HOST_ARRAY_PRINT(MIntArray)

HOST_ARRAY_COMMON_MEMBERS(MUintArray, unsigned int, unsigned int)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MUintArray, unsigned int)
HOST_ARRAY_FILLED_CONSTRUCTOR(MUintArray, unsigned int)
HOST_ARRAY_COPY(MUintArray)
HOST_ARRAY_GET(MUintArray, unsigned int)
HOST_ARRAY_PRINT(MUintArray)

HOST_ARRAY_COMMON_MEMBERS(MDoubleArray, double, double)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MDoubleArray, double)
HOST_ARRAY_FILLED_CONSTRUCTOR(MDoubleArray, double)
HOST_ARRAY_COPY(MDoubleArray)
HOST_ARRAY_GET(MDoubleArray, double)
HOST_ARRAY_PRINT(MDoubleArray)

HOST_ARRAY_COMMON_MEMBERS(MFloatArray, float, float)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MFloatArray, float)
HOST_ARRAY_FILLED_CONSTRUCTOR(MFloatArray, float)
HOST_ARRAY_COPY(MFloatArray)
HOST_ARRAY_GET(MFloatArray, float)
HOST_ARRAY_PRINT(MFloatArray)

HOST_ARRAY_COMMON_MEMBERS(MCallbackIdArray, MCallbackId, MCallbackId)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MCallbackIdArray, MCallbackId)
HOST_ARRAY_FILLED_CONSTRUCTOR(MCallbackIdArray, MCallbackId)
HOST_ARRAY_COPY(MCallbackIdArray)
HOST_ARRAY_GET(MCallbackIdArray, MCallbackId)
HOST_ARRAY_PRINT(MCallbackIdArray)

HOST_ARRAY_COMMON_MEMBERS(MPointArray, MPoint, const MPoint&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MPointArray, MPoint)
HOST_ARRAY_FILLED_CONSTRUCTOR(MPointArray, const MPoint&)
HOST_ARRAY_COPY(MPointArray)
HOST_ARRAY_PRINT(MPointArray)

HOST_ARRAY_COMMON_MEMBERS(MFloatPointArray, MFloatPoint, const MFloatPoint&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MFloatPointArray, MFloatPoint)
HOST_ARRAY_FILLED_CONSTRUCTOR(MFloatPointArray, const MFloatPoint&)
HOST_ARRAY_COPY(MFloatPointArray)
HOST_ARRAY_PRINT(MFloatPointArray)

HOST_ARRAY_COMMON_MEMBERS(MVectorArray, MVector, const MVector&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MVectorArray, MVector)
HOST_ARRAY_FILLED_CONSTRUCTOR(MVectorArray, const MVector&)
HOST_ARRAY_COPY(MVectorArray)
HOST_ARRAY_PRINT(MVectorArray)

HOST_ARRAY_COMMON_MEMBERS(MFloatVectorArray, MFloatVector, const MFloatVector&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MFloatVectorArray, MFloatVector)
HOST_ARRAY_FILLED_CONSTRUCTOR(MFloatVectorArray, const MFloatVector&)
HOST_ARRAY_COPY(MFloatVectorArray)
HOST_ARRAY_PRINT(MFloatVectorArray)

HOST_ARRAY_COMMON_MEMBERS(MColorArray, MColor, const MColor&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MColorArray, MColor)
HOST_ARRAY_FILLED_CONSTRUCTOR(MColorArray, const MColor&)
HOST_ARRAY_COPY(MColorArray)
HOST_ARRAY_PRINT(MColorArray)

HOST_ARRAY_COMMON_MEMBERS(MMatrixArray, MMatrix, const MMatrix&)
HOST_ARRAY_SIZED_CONSTRUCTOR(MMatrixArray)
HOST_ARRAY_COPY(MMatrixArray)
HOST_ARRAY_PRINT(MMatrixArray)

HOST_ARRAY_COMMON_MEMBERS(MTimeArray, MTime, const MTime&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MTimeArray, MTime)
HOST_ARRAY_FILLED_CONSTRUCTOR(MTimeArray, const MTime&)
HOST_ARRAY_COPY(MTimeArray)
HOST_ARRAY_GET(MTimeArray, MTime)
HOST_ARRAY_PRINT(MTimeArray)

HOST_ARRAY_COMMON_MEMBERS(MObjectArray, MObject, const MObject&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MObjectArray, MObject)
HOST_ARRAY_FILLED_CONSTRUCTOR(MObjectArray, const MObject&)
HOST_ARRAY_COPY(MObjectArray)
HOST_ARRAY_GET(MObjectArray, MObject)

HOST_ARRAY_COMMON_MEMBERS(MPlugArray, MPlug, const MPlug&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MPlugArray, MPlug)
HOST_ARRAY_FILLED_CONSTRUCTOR(MPlugArray, const MPlug&)
HOST_ARRAY_COPY(MPlugArray)
HOST_ARRAY_GET(MPlugArray, MPlug)
HOST_ARRAY_OUT_OF_LINE_ACCESS(MPlugArray, MPlug, const MPlug&)

HOST_ARRAY_COMMON_MEMBERS(MDagPathArray, MDagPath, const MDagPath&)
HOST_ARRAY_FILLED_CONSTRUCTOR(MDagPathArray, const MDagPath&)
HOST_ARRAY_COPY(MDagPathArray)
HOST_ARRAY_OUT_OF_LINE_ACCESS(MDagPathArray, MDagPath, const MDagPath&)
HOST_ARRAY_PRINT(MDagPathArray)

HOST_ARRAY_COMMON_MEMBERS(MStringArray, MString, const MString&)
HOST_ARRAY_SOURCE_CONSTRUCTOR(MStringArray, MString)
HOST_ARRAY_FILLED_CONSTRUCTOR(MStringArray, const MString&)
HOST_ARRAY_GET(MStringArray, MString)
HOST_ARRAY_OUT_OF_LINE_ACCESS(MStringArray, MString, MString)
HOST_ARRAY_PRINT(MStringArray)
// The members particular to one array class.

namespace
{

// Copies rows of N coordinates into elements built from them (points, vectors, colours).
template <typename Element, typename Row>
std::vector<Element> fromRows(const Row rows[], unsigned int count)
{
    std::vector<Element> out;
    if (rows == nullptr) return out;
    out.reserve(count);
    for (unsigned int i = 0; i < count; ++i) out.emplace_back(rows[i]);
    return out;
}

// Writes the first N coordinates of each element into rows.
template <int N, typename Element, typename Scalar>
MStatus toRows(const std::vector<Element>& data, Scalar dest[][N])
{
    if (dest == nullptr && !data.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < data.size(); ++i)
        for (int k = 0; k < N; ++k) dest[i][k] = static_cast<Scalar>(data[i][k]);
    return MStatus::kSuccess;
}

} // namespace

void host::arrays::printElement(std::ostream& out, const MDagPath& element)
{
    out << element.fullPathName();
}

MDoubleArray::MDoubleArray(const float src[], unsigned int count) : fData(src, src + (src ? count : 0)), fSizeIncrement(1) {}
MStatus MDoubleArray::set(float element, unsigned int index) { return host::arrays::set(fData, double(element), index); }
MStatus MDoubleArray::get(float dest[]) const { return host::arrays::get(fData, dest); }

MFloatArray::MFloatArray(const double src[], unsigned int count) : fSizeIncrement(1)
{
    if (src) fData.assign(src, src + count);
}
MStatus MFloatArray::set(double element, unsigned int index) { return host::arrays::set(fData, float(element), index); }
MStatus MFloatArray::get(double dest[]) const { return host::arrays::get(fData, dest); }

MPointArray::MPointArray(const double points[][4], unsigned int count)
    : fData(fromRows<MPoint>(points, count)), fSizeIncrement(1) {}
MPointArray::MPointArray(const float points[][4], unsigned int count)
    : fData(fromRows<MPoint>(points, count)), fSizeIncrement(1) {}
MStatus MPointArray::set(unsigned int index, double x, double y, double z, double w)
{
    return set(MPoint(x, y, z, w), index);
}
MStatus MPointArray::set(double element[4], unsigned int index) { return set(MPoint(element), index); }
MStatus MPointArray::set(float element[4], unsigned int index) { return set(MPoint(element), index); }
MStatus MPointArray::append(double x, double y, double z, double w) { return append(MPoint(x, y, z, w)); }
MStatus MPointArray::get(double dest[][4]) const { return toRows<4>(fData, dest); }
MStatus MPointArray::get(float dest[][4]) const { return toRows<4>(fData, dest); }

MFloatPointArray::MFloatPointArray(const float points[][4], unsigned int count)
    : fData(fromRows<MFloatPoint>(points, count)), fSizeIncrement(1) {}
MFloatPointArray::MFloatPointArray(const double points[][4], unsigned int count)
    : fData(fromRows<MFloatPoint>(points, count)), fSizeIncrement(1) {}
MStatus MFloatPointArray::set(unsigned int index, float x, float y, float z, float w)
{
    return set(MFloatPoint(x, y, z, w), index);
}
MStatus MFloatPointArray::set(float element[4], unsigned int index) { return set(MFloatPoint(element), index); }
MStatus MFloatPointArray::set(double element[4], unsigned int index) { return set(MFloatPoint(element), index); }
MStatus MFloatPointArray::append(float x, float y, float z, float w) { return append(MFloatPoint(x, y, z, w)); }
MStatus MFloatPointArray::get(float dest[][4]) const { return toRows<4>(fData, dest); }
MStatus MFloatPointArray::get(double dest[][4]) const { return toRows<4>(fData, dest); }

MVectorArray::MVectorArray(const double vectors[][3], unsigned int count)
    : fData(fromRows<MVector>(vectors, count)), fSizeIncrement(1) {}
MVectorArray::MVectorArray(const float vectors[][3], unsigned int count)
    : fData(fromRows<MVector>(vectors, count)), fSizeIncrement(1) {}
MStatus MVectorArray::set(double element[3], unsigned int index) { return set(MVector(element), index); }
MStatus MVectorArray::set(float element[3], unsigned int index) { return set(MVector(element), index); }
MStatus MVectorArray::get(double dest[][3]) const { return toRows<3>(fData, dest); }
MStatus MVectorArray::get(float dest[][3]) const { return toRows<3>(fData, dest); }

MFloatVectorArray::MFloatVectorArray(const double vectors[][3], unsigned int count)
    : fData(fromRows<MFloatVector>(vectors, count)), fSizeIncrement(1) {}
MFloatVectorArray::MFloatVectorArray(const float vectors[][3], unsigned int count)
    : fData(fromRows<MFloatVector>(vectors, count)), fSizeIncrement(1) {}
MStatus MFloatVectorArray::set(double element[3], unsigned int index) { return set(MFloatVector(element), index); }
MStatus MFloatVectorArray::set(float element[3], unsigned int index) { return set(MFloatVector(element), index); }
MStatus MFloatVectorArray::get(double dest[][3]) const { return toRows<3>(fData, dest); }
MStatus MFloatVectorArray::get(float dest[][3]) const { return toRows<3>(fData, dest); }

MColorArray::MColorArray(const float src[][4], unsigned int count) : fSizeIncrement(1)
{
    for (unsigned int i = 0; src && i < count; ++i) fData.emplace_back(src[i][0], src[i][1], src[i][2], src[i][3]);
}
MColorArray::MColorArray(const double src[][4], unsigned int count) : fSizeIncrement(1)
{
    for (unsigned int i = 0; src && i < count; ++i)
        fData.emplace_back(float(src[i][0]), float(src[i][1]), float(src[i][2]), float(src[i][3]));
}
MStatus MColorArray::set(unsigned int index, float r, float g, float b, float a) { return set(MColor(r, g, b, a), index); }
MStatus MColorArray::set(float val[4], unsigned int index) { return set(MColor(val[0], val[1], val[2], val[3]), index); }
MStatus MColorArray::append(float r, float g, float b, float a) { return append(MColor(r, g, b, a)); }
MStatus MColorArray::get(float dest[][4]) const
{
    if (dest == nullptr && !fData.empty()) return MStatus::kInvalidParameter;
    for (size_t i = 0; i < fData.size(); ++i) fData[i].get(dest[i]);
    return MStatus::kSuccess;
}

MStringArray::MStringArray(const char* strings[], unsigned int count) : fSizeIncrement(1)
{
    fData.reserve(strings ? count : 0);
    for (unsigned int i = 0; strings && i < count; ++i) fData.emplace_back(strings[i]);
}
int MStringArray::indexOf(const MString& element) const
{
    const auto found = std::find(fData.begin(), fData.end(), element);
    return found == fData.end() ? -1 : static_cast<int>(found - fData.begin());
}
