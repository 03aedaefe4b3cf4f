#include "pins/SurfaceUVPin.h"

#include "pins/PinAttributes.h"
#include "plugin/NodeAttributes.h"
#include "plugin/StatusCheck.h"

#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnMesh.h>
#include <maya/MFnStringData.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <iterator>
#include <vector>

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

namespace {

// The per-face reads of the UV triangle table, from a mesh and one UV set (the mesh's
// current set when the name is empty).
class MeshUVAccess : public PinFrameMath::UVMeshAccess
{
public:
    MeshUVAccess(const MFnMesh& mesh, const MString& uvSet)
        : fMesh(mesh), fUVSet(uvSet.length() > 0 ? &uvSet : nullptr)
    {
    }

    bool faceVertices(int face, std::vector<int>& vertexIds) const override
    {
        return copyFaceList(fMesh.getPolygonVertices(face, fScratch), vertexIds);
    }

    bool faceNormalIds(int face, std::vector<int>& normalIds) const override
    {
        return copyFaceList(fMesh.getFaceNormalIds(face, fScratch), normalIds);
    }

    bool faceVertexUV(int face, int localPosition, float& u, float& v) const override
    {
        return fMesh.getPolygonUV(face, localPosition, u, v, fUVSet) == MS::kSuccess;
    }

private:
    bool copyFaceList(const MStatus& status, std::vector<int>& out) const
    {
        if (!status) {
            return false;
        }
        out.resize(fScratch.length());
        for (unsigned i = 0; i < fScratch.length(); ++i) {
            out[i] = fScratch[i];
        }
        return true;
    }

    const MFnMesh& fMesh;
    const MString* fUVSet;
    mutable MIntArray fScratch;
};

} // namespace

const PinNodeAttributes SurfaceUVPin::kAttributes = {
    geometryWorldMatrix, controlLocalInverseMatrix, controlParentInverseMatrix, bindSurfaceMatrices,
    bindControlMatrices, bindMaintainOffset,        bindUseControlInverse,      deformedGeometry,
    outputMatrix,        outputTranslate};

SurfaceUVPin::SurfaceUVPin() : fEvaluation(kAttributes, kStatusSource) {}
SurfaceUVPin::~SurfaceUVPin() = default;

void* SurfaceUVPin::creator()
{
    return new SurfaceUVPin();
}

MPxNode::SchedulingType SurfaceUVPin::schedulingType() const
{
    return MPxNode::kParallel;
}

MStatus SurfaceUVPin::loadBindData(MDataBlock& data)
{
    PELLIX_CHECK(fEvaluation.readMaintainOffset(data));
    MDoubleArray uvs;
    MIntArray preferred;
    MDoubleArray tangents;
    PELLIX_CHECK(readDoubleArrayInput(data, pinUVs, uvs));
    PELLIX_CHECK(readIntArrayInput(data, preferredTriangleIndices, preferred));
    PELLIX_CHECK(readDoubleArrayInput(data, bindTangents, tangents));
    MStatus status;
    MDataHandle setHandle = data.inputValue(uvSet, &status);
    PELLIX_CHECK(status);
    fUVSetName = setHandle.asString();

    // Pins beyond the preferred indices have none.
    const unsigned count = std::min(uvs.length() / 2, tangents.length() / 2);
    fBindings.resize(count);
    fEvaluation.beginBindLoad(thisMObject(), static_cast<int>(count));
    for (unsigned i = 0; i < count; ++i) {
        float u = static_cast<float>(uvs[2 * i]);
        float v = static_cast<float>(uvs[2 * i + 1]);
        float du = static_cast<float>(tangents[2 * i]);
        float dv = static_cast<float>(tangents[2 * i + 1]);
        // Values beyond float range are as unusable as NaN; stand-ins keep the frame math finite.
        if (!PinEvaluation::finite(u) || !PinEvaluation::finite(v)) {
            fEvaluation.rejectNonFinitePin(static_cast<int>(i), "pinUVs");
            u = v = 0.0f;
        }
        if (!PinEvaluation::finite(du) || !PinEvaluation::finite(dv)) {
            fEvaluation.rejectNonFinitePin(static_cast<int>(i), "bindTangents");
            du = 1.0f;
            dv = 0.0f;
        }
        fBindings[i] = PinFrameMath::loadedUVPinBinding(u, v, du, dv, i < preferred.length() ? preferred[i] : -1);
    }
    PELLIX_CHECK(fEvaluation.loadBindMatrices(data, static_cast<int>(count)));
    fResolveNeeded = true;
    return MS::kSuccess;
}

MStatus SurfaceUVPin::noteTopology(MFnMesh& mesh, int& vertexCount, int& normalCount)
{
    MStatus status;
    vertexCount = mesh.numVertices(&status);
    PELLIX_CHECK(status);
    const int polygonCount = mesh.numPolygons(&status);
    PELLIX_CHECK(status);
    normalCount = mesh.numNormals(&status);
    PELLIX_CHECK(status);
    MStatus uvStatus;
    int uvCount = fUVSetName.length() > 0 ? mesh.numUVs(fUVSetName, &uvStatus) : mesh.numUVs(&uvStatus);
    if (!uvStatus) {
        uvCount = -1;
    }
    if (fEvaluation.topologyChanged(vertexCount, polygonCount, normalCount) || uvCount != fCachedUVCount) {
        fEvaluation.noteTopology(vertexCount, polygonCount, normalCount);
        fCachedUVCount = uvCount;
        fUVTableDirty = true;
        fResolveNeeded = true;
        fEvaluation.invalidateValidity();
    }
    return MS::kSuccess;
}

MStatus SurfaceUVPin::rebuildUVTable(MFnMesh& mesh)
{
    MStatus status;
    const int polygonCount = mesh.numPolygons(&status);
    PELLIX_CHECK(status);
    MIntArray triangleCounts;
    MIntArray triangleVertices;
    PELLIX_CHECK(mesh.getTriangles(triangleCounts, triangleVertices));
    const MeshUVAccess access(mesh, fUVSetName);
    PinFrameMath::buildUVTriangleTable(polygonCount, triangleCounts.length() > 0 ? &triangleCounts[0] : nullptr,
                                       triangleCounts.length(),
                                       triangleVertices.length() > 0 ? &triangleVertices[0] : nullptr,
                                       triangleVertices.length(), access, fUVTable);
    fUVTableDirty = false;
    fResolveNeeded = true;
    return MS::kSuccess;
}

void SurfaceUVPin::resolvePins()
{
    for (size_t i = 0; i < fBindings.size(); ++i) {
        PinFrameMath::UVPinBinding& pin = fBindings[i];
        PinFrameMath::resolvePinUV(pin, fUVTable);
        // A rejected pin is evaluated on the first vertex; its outputs are not used.
        if (fEvaluation.pinRejected(static_cast<int>(i))) {
            for (int k = 0; k < 3; ++k) {
                pin.vertexIds[k] = 0;
                pin.normalIds[k] = 0;
                pin.weights[k] = k == 0 ? 1.0f : 0.0f;
            }
        }
    }
    fResolveNeeded = false;
    fEvaluation.invalidateValidity();
}

MStatus SurfaceUVPin::compute(const MPlug& plug, MDataBlock& data)
{
    PinComputeStart start;
    PELLIX_PASS_ON(fEvaluation.beginCompute(
        plug, data, "SurfaceUVPin", [&] { return loadBindData(data); }, fBindings, start));
    if (start.points == nullptr) {
        return MS::kSuccess;
    }
    MFnMesh& mesh = start.mesh;
    const PinOutputRequest& request = start.request;

    int vertexCount = 0;
    int normalCount = 0;
    PELLIX_CHECK(noteTopology(mesh, vertexCount, normalCount));
    PELLIX_CHECK(fEvaluation.readMatrixInputs(thisMObject(), data, static_cast<int>(fBindings.size()), request));
    if (fUVTableDirty) {
        PELLIX_CHECK(rebuildUVTable(mesh));
    }
    if (fResolveNeeded) {
        resolvePins();
    }
    if (!fEvaluation.pinsValid(fBindings, vertexCount, normalCount)) {
        MGlobal::displayError("SurfaceUVPin: pin UVs of " + name() +
                              " did not resolve to valid mesh vertices or normals. Re-run surfaceUVPinBind after "
                              "topology or UV changes.");
        return MS::kFailure;
    }
    PELLIX_CHECK(fEvaluation.evaluate(mesh, start.points, fBindings, data, request));
    return MS::kSuccess;
}

MStatus SurfaceUVPin::setDependentsDirty(const MPlug& plug, MPlugArray& plugArray)
{
    const MObject attribute = plug.attribute();
    if (attribute == pinUVs || attribute == preferredTriangleIndices || attribute == bindTangents ||
        attribute == bindSurfaceMatrices || attribute == bindControlMatrices || attribute == bindMaintainOffset ||
        attribute == uvSet) {
        fEvaluation.markBindDataDirty();
        fResolveNeeded = true;
    }
    if (attribute == uvSet) {
        fUVTableDirty = true;
    }
    return MPxNode::setDependentsDirty(plug, plugArray);
}

void SurfaceUVPin::noteConnectionChange(const MPlug& plug, bool asSrc)
{
    if (!asSrc && plug.attribute() == deformedGeometry) {
        fUVTableDirty = true;
        fResolveNeeded = true;
    }
    fEvaluation.noteConnectionChange(plug, asSrc);
}

MStatus SurfaceUVPin::connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc)
{
    noteConnectionChange(plug, asSrc);
    return MPxNode::connectionMade(plug, otherPlug, asSrc);
}

MStatus SurfaceUVPin::connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc)
{
    noteConnectionChange(plug, asSrc);
    return MPxNode::connectionBroken(plug, otherPlug, asSrc);
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
