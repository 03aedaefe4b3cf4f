#include "pins/SurfaceUVPin.h"

#include "pins/PinAttributes.h"
#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

#include <maya/MFnStringData.h>

#include <iterator>

namespace {
const char* const kStatusSource = "surfaceUVPin";
} // namespace

const MTypeId SurfaceUVPin::id(0x140546);
const MString SurfaceUVPin::typeName("surfaceUVPin");

MObject SurfaceUVPin::deformedGeometry;
MObject SurfaceUVPin::geometryWorldMatrix;
MObject SurfaceUVPin::controlLocalInverseMatrix;
MObject SurfaceUVPin::controlParentInverseMatrix;
MObject SurfaceUVPin::pinUVs;
MObject SurfaceUVPin::preferredTriangleIndices;
MObject SurfaceUVPin::uvSet;
MObject SurfaceUVPin::bindTangents;
MObject SurfaceUVPin::bindSurfaceMatrices;
MObject SurfaceUVPin::bindControlMatrices;
MObject SurfaceUVPin::bindMaintainOffset;
MObject SurfaceUVPin::bindUseControlInverse;
MObject SurfaceUVPin::outputMatrix;
MObject SurfaceUVPin::outputTranslateX;
MObject SurfaceUVPin::outputTranslateY;
MObject SurfaceUVPin::outputTranslateZ;
MObject SurfaceUVPin::outputTranslate;

SurfaceUVPin::SurfaceUVPin() = default;
SurfaceUVPin::~SurfaceUVPin() = default;

void* SurfaceUVPin::creator()
{
    return new SurfaceUVPin();
}

MStatus SurfaceUVPin::initialize()
{
    PELLIX_CHECK(addPinDriverAttributes(deformedGeometry, geometryWorldMatrix, controlLocalInverseMatrix,
                                        controlParentInverseMatrix));

    PELLIX_CHECK(createTypedAttribute(pinUVs, "pinUVs", "puv", MFnData::kDoubleArray, MObject::kNullObj,
                                      kAttrStorable));
    PELLIX_CHECK(addAttribute(pinUVs));
    PELLIX_CHECK(createTypedAttribute(preferredTriangleIndices, "preferredTriangleIndices", "pti", MFnData::kIntArray,
                                      MObject::kNullObj, kAttrStorable | kAttrHidden));
    PELLIX_CHECK(addAttribute(preferredTriangleIndices));

    MStatus status;
    MFnStringData defaultSet;
    const MObject map1 = defaultSet.create("map1", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(createTypedAttribute(uvSet, "uvSet", "uvs", MFnData::kString, map1, kAttrStorable | kAttrNotKeyable));
    PELLIX_CHECK(addAttribute(uvSet));

    PELLIX_CHECK(addPinBindAttributes(bindTangents, bindSurfaceMatrices, bindControlMatrices, bindMaintainOffset,
                                      bindUseControlInverse));
    PELLIX_CHECK(addPinOutputAttributes(outputMatrix, outputTranslateX, outputTranslateY, outputTranslateZ,
                                        outputTranslate));

    const MObject* const inputs[] = {&deformedGeometry,    &geometryWorldMatrix, &controlLocalInverseMatrix,
                                     &controlParentInverseMatrix, &pinUVs,     &preferredTriangleIndices,
                                     &uvSet,               &bindTangents,        &bindSurfaceMatrices,
                                     &bindControlMatrices, &bindMaintainOffset,  &bindUseControlInverse};
    PELLIX_CHECK(addPinAffects(inputs, static_cast<unsigned>(std::size(inputs)), outputMatrix, outputTranslate));
    return MS::kSuccess;
}
