#include "pins/SurfacePin.h"

#include "pins/PinAttributes.h"
#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

#include <iterator>

namespace {
const char* const kStatusSource = "surfacePin";
} // namespace

const MTypeId SurfacePin::id(0x140545);
const MString SurfacePin::typeName("surfacePin");

MObject SurfacePin::deformedGeometry;
MObject SurfacePin::geometryWorldMatrix;
MObject SurfacePin::controlLocalInverseMatrix;
MObject SurfacePin::controlParentInverseMatrix;
MObject SurfacePin::baryWeights;
MObject SurfacePin::vertexIndices;
MObject SurfacePin::normalIndices;
MObject SurfacePin::bindTangents;
MObject SurfacePin::bindSurfaceMatrices;
MObject SurfacePin::bindControlMatrices;
MObject SurfacePin::bindMaintainOffset;
MObject SurfacePin::bindUseControlInverse;
MObject SurfacePin::outputMatrix;
MObject SurfacePin::outputTranslateX;
MObject SurfacePin::outputTranslateY;
MObject SurfacePin::outputTranslateZ;
MObject SurfacePin::outputTranslate;

SurfacePin::SurfacePin() = default;
SurfacePin::~SurfacePin() = default;

void* SurfacePin::creator()
{
    return new SurfacePin();
}

MStatus SurfacePin::initialize()
{
    PELLIX_CHECK(addPinDriverAttributes(deformedGeometry, geometryWorldMatrix, controlLocalInverseMatrix,
                                        controlParentInverseMatrix));

    PELLIX_CHECK(createTypedAttribute(baryWeights, "baryWeights", "bw", MFnData::kDoubleArray, MObject::kNullObj,
                                      kAttrStorable));
    PELLIX_CHECK(addAttribute(baryWeights));
    PELLIX_CHECK(createTypedAttribute(vertexIndices, "vertexIndices", "vi", MFnData::kIntArray, MObject::kNullObj,
                                      kAttrStorable));
    PELLIX_CHECK(addAttribute(vertexIndices));
    PELLIX_CHECK(createTypedAttribute(normalIndices, "normalIndices", "ni", MFnData::kIntArray, MObject::kNullObj,
                                      kAttrStorable));
    PELLIX_CHECK(addAttribute(normalIndices));

    PELLIX_CHECK(addPinBindAttributes(bindTangents, bindSurfaceMatrices, bindControlMatrices, bindMaintainOffset,
                                      bindUseControlInverse));
    PELLIX_CHECK(addPinOutputAttributes(outputMatrix, outputTranslateX, outputTranslateY, outputTranslateZ,
                                        outputTranslate));

    const MObject* const inputs[] = {&deformedGeometry,     &geometryWorldMatrix,       &baryWeights,
                                     &vertexIndices,        &normalIndices,             &bindTangents,
                                     &bindSurfaceMatrices,  &bindControlMatrices,       &bindMaintainOffset,
                                     &controlLocalInverseMatrix, &controlParentInverseMatrix, &bindUseControlInverse};
    PELLIX_CHECK(addPinAffects(inputs, static_cast<unsigned>(std::size(inputs)), outputMatrix, outputTranslate));
    return MS::kSuccess;
}
