#include <maya/MFnData.h>

#include "dg/FnSet.h"

HOST_FN_SET_BASICS(MFnData, MFn::kData)
