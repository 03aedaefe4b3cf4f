#include <maya/MFnIntArrayData.h>

#include "dg/ArrayDataFnSet.h"

HOST_FN_SET_BASICS(MFnIntArrayData, MFn::kIntArrayData)

namespace {
using Fn = host::ArrayDataFnSet<host::IntArrayData, MFn::kIntArrayData>;
}

MObject MFnIntArrayData::create(MStatus* ReturnStatus) { return Fn::create(mObject, MIntArray(), ReturnStatus); }
MObject MFnIntArrayData::create(const MIntArray& in, MStatus* ReturnStatus) { return Fn::create(mObject, in, ReturnStatus); }
MIntArray MFnIntArrayData::array(MStatus* ReturnStatus) { return Fn::array(mObject, ReturnStatus); }
unsigned int MFnIntArrayData::length(MStatus* ReturnStatus) const { return Fn::length(mObject, ReturnStatus); }
MStatus MFnIntArrayData::set(const MIntArray& newArray) { return Fn::set(mObject, newArray); }
MStatus MFnIntArrayData::copyTo(MIntArray& dest) const { return Fn::copyTo(mObject, dest); }
int MFnIntArrayData::operator[](unsigned int index) const { return Fn::at(mObject, index); }
int& MFnIntArrayData::operator[](unsigned int index) { return Fn::at(mObject, index); }
