#include "pins/SurfacePin.h"

#include "pins/PinAttributes.h"
#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>

#include <algorithm>
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

const PinNodeAttributes SurfacePin::kAttributes = {
    geometryWorldMatrix, controlLocalInverseMatrix, controlParentInverseMatrix, bindSurfaceMatrices,
    bindControlMatrices, bindMaintainOffset,        bindUseControlInverse,      deformedGeometry,
    outputMatrix,        outputTranslate};

SurfacePin::SurfacePin() : fEvaluation(kAttributes, kStatusSource) {}
SurfacePin::~SurfacePin() = default;

void* SurfacePin::creator()
{
    return new SurfacePin();
}

MPxNode::SchedulingType SurfacePin::schedulingType() const
{
    return MPxNode::kParallel;
}

MStatus SurfacePin::loadBindData(MDataBlock& data)
{
    PELLIX_CHECK(fEvaluation.readMaintainOffset(data));
    MDoubleArray weights;
    MIntArray vertices;
    MIntArray normals;
    MDoubleArray tangents;
    PELLIX_CHECK(readDoubleArrayInput(data, baryWeights, weights));
    PELLIX_CHECK(readIntArrayInput(data, vertexIndices, vertices));
    PELLIX_CHECK(readIntArrayInput(data, normalIndices, normals));
    PELLIX_CHECK(readDoubleArrayInput(data, bindTangents, tangents));

    // Arrays of unequal length: the shortest decides, extra entries are ignored.
    const unsigned count = std::min({vertices.length() / 3, weights.length() / 3, tangents.length() / 2,
                                     normals.length() / 3});
    fBindings.assign(count, PinFrameMath::PinBinding{});
    fEvaluation.beginBindLoad(thisMObject(), static_cast<int>(count));
    for (unsigned i = 0; i < count; ++i) {
        PinFrameMath::PinBinding& pin = fBindings[i];
        bool weightsFinite = true;
        for (unsigned k = 0; k < 3; ++k) {
            pin.vertexIds[k] = vertices[3 * i + k];
            pin.normalIds[k] = normals[3 * i + k];
            pin.weights[k] = static_cast<float>(weights[3 * i + k]);
            weightsFinite = weightsFinite && PinEvaluation::finite(pin.weights[k]);
        }
        pin.tangentCoeffs[0] = static_cast<float>(tangents[2 * i]);
        pin.tangentCoeffs[1] = static_cast<float>(tangents[2 * i + 1]);
        // Values beyond float range are as unusable as NaN; stand-ins keep the frame math finite.
        if (!weightsFinite) {
            fEvaluation.rejectNonFinitePin(static_cast<int>(i), "baryWeights");
            pin.weights[0] = 1.0f;
            pin.weights[1] = pin.weights[2] = 0.0f;
        }
        if (!PinEvaluation::finite(pin.tangentCoeffs[0]) || !PinEvaluation::finite(pin.tangentCoeffs[1])) {
            fEvaluation.rejectNonFinitePin(static_cast<int>(i), "bindTangents");
            pin.tangentCoeffs[0] = 1.0f;
            pin.tangentCoeffs[1] = 0.0f;
        }
    }
    PELLIX_CHECK(fEvaluation.loadBindMatrices(data, static_cast<int>(count)));
    return MS::kSuccess;
}

MStatus SurfacePin::compute(const MPlug& plug, MDataBlock& data)
{
    PinComputeStart start;
    PELLIX_PASS_ON(fEvaluation.beginCompute(
        plug, data, "SurfacePin", [&] { return loadBindData(data); }, fBindings, start));
    if (start.points == nullptr) {
        return MS::kSuccess;
    }
    MFnMesh& mesh = start.mesh;
    const PinOutputRequest& request = start.request;

    MStatus status;
    const int vertexCount = mesh.numVertices(&status);
    PELLIX_CHECK(status);
    const int polygonCount = mesh.numPolygons(&status);
    PELLIX_CHECK(status);
    const int normalCount = mesh.numNormals(&status);
    PELLIX_CHECK(status);
    fEvaluation.noteTopology(vertexCount, polygonCount, normalCount);
    if (!fEvaluation.pinsValid(fBindings, vertexCount, normalCount)) {
        MGlobal::displayError("SurfacePin: bind vertex or normal indices of " + name() +
                              " are out of range. Re-run surfacePinBind after topology changes.");
        return MS::kFailure;
    }

    PELLIX_CHECK(fEvaluation.readMatrixInputs(thisMObject(), data, static_cast<int>(fBindings.size()), request));
    PELLIX_CHECK(fEvaluation.evaluate(mesh, start.points, fBindings, data, request));
    return MS::kSuccess;
}

MStatus SurfacePin::setDependentsDirty(const MPlug& plug, MPlugArray& plugArray)
{
    // The matrix inputs and "bindUseControlInverse" are read on every evaluation.
    const MObject attribute = plug.attribute();
    if (attribute == baryWeights || attribute == vertexIndices || attribute == normalIndices ||
        attribute == bindTangents || attribute == bindSurfaceMatrices || attribute == bindControlMatrices ||
        attribute == bindMaintainOffset) {
        fEvaluation.markBindDataDirty();
    }
    return MPxNode::setDependentsDirty(plug, plugArray);
}

MStatus SurfacePin::connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc)
{
    fEvaluation.noteConnectionChange(plug, asSrc);
    return MPxNode::connectionMade(plug, otherPlug, asSrc);
}

MStatus SurfacePin::connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc)
{
    fEvaluation.noteConnectionChange(plug, asSrc);
    return MPxNode::connectionBroken(plug, otherPlug, asSrc);
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
