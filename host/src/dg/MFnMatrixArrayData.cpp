#include <maya/MFnMatrixArrayData.h>

#include "dg/ArrayDataFnSet.h"

HOST_FN_SET_BASICS(MFnMatrixArrayData, MFn::kMatrixArrayData)

namespace {
using Fn = host::ArrayDataFnSet<host::MatrixArrayData, MFn::kMatrixArrayData>;
}

MObject MFnMatrixArrayData::create(MStatus* ReturnStatus) { return Fn::create(mObject, MMatrixArray(), ReturnStatus); }
MObject MFnMatrixArrayData::create(const MMatrixArray& in, MStatus* ReturnStatus) { return Fn::create(mObject, in, ReturnStatus); }
MMatrixArray MFnMatrixArrayData::array(MStatus* ReturnStatus) { return Fn::array(mObject, ReturnStatus); }
unsigned int MFnMatrixArrayData::length(MStatus* ReturnStatus) const { return Fn::length(mObject, ReturnStatus); }
MStatus MFnMatrixArrayData::set(const MMatrixArray& newArray) { return Fn::set(mObject, newArray); }
MStatus MFnMatrixArrayData::copyTo(MMatrixArray& dest) const { return Fn::copyTo(mObject, dest); }
const MMatrix& MFnMatrixArrayData::operator[](unsigned int index) const { return Fn::at(mObject, index); }
MMatrix& MFnMatrixArrayData::operator[](unsigned int index) { return Fn::at(mObject, index); }
