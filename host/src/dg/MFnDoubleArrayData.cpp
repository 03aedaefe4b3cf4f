#include <maya/MFnDoubleArrayData.h>

#include "dg/ArrayDataFnSet.h"

HOST_FN_SET_BASICS(MFnDoubleArrayData, MFn::kDoubleArrayData)

namespace {
using Fn = host::ArrayDataFnSet<host::DoubleArrayData, MFn::kDoubleArrayData>;
}

MObject MFnDoubleArrayData::create(MStatus* ReturnStatus) { return Fn::create(mObject, MDoubleArray(), ReturnStatus); }
MObject MFnDoubleArrayData::create(const MDoubleArray& in, MStatus* ReturnStatus) { return Fn::create(mObject, in, ReturnStatus); }
MDoubleArray MFnDoubleArrayData::array(MStatus* ReturnStatus) { return Fn::array(mObject, ReturnStatus); }
unsigned int MFnDoubleArrayData::length(MStatus* ReturnStatus) const { return Fn::length(mObject, ReturnStatus); }
MStatus MFnDoubleArrayData::set(const MDoubleArray& newArray) { return Fn::set(mObject, newArray); }
MStatus MFnDoubleArrayData::copyTo(MDoubleArray& dest) const { return Fn::copyTo(mObject, dest); }
double MFnDoubleArrayData::operator[](unsigned int index) const { return Fn::at(mObject, index); }
double& MFnDoubleArrayData::operator[](unsigned int index) { return Fn::at(mObject, index); }
