#include <maya/MFnStringArrayData.h>

#include "dg/ArrayDataFnSet.h"

HOST_FN_SET_BASICS(MFnStringArrayData, MFn::kStringArrayData)

namespace {
using Fn = host::ArrayDataFnSet<host::StringArrayData, MFn::kStringArrayData>;
}

MObject MFnStringArrayData::create(MStatus* ReturnStatus) { return Fn::create(mObject, MStringArray(), ReturnStatus); }
MObject MFnStringArrayData::create(const MStringArray& in, MStatus* ReturnStatus) { return Fn::create(mObject, in, ReturnStatus); }
MStringArray MFnStringArrayData::array(MStatus* ReturnStatus) { return Fn::array(mObject, ReturnStatus); }
unsigned int MFnStringArrayData::length(MStatus* ReturnStatus) const { return Fn::length(mObject, ReturnStatus); }
MStatus MFnStringArrayData::set(const MStringArray& newArray) { return Fn::set(mObject, newArray); }
MStatus MFnStringArrayData::copyTo(MStringArray& dest) const { return Fn::copyTo(mObject, dest); }
const MString& MFnStringArrayData::operator[](unsigned int index) const { return Fn::at(mObject, index); }
MString& MFnStringArrayData::operator[](unsigned int index) { return Fn::at(mObject, index); }
