#include "pins/PinEvaluation.h"

#include "plugin/StatusCheck.h"

#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDagPathArray.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixArrayData.h>
#include <maya/MIntArray.h>
#include <maya/MFnMesh.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>

#include <maya/MFnDependencyNode.h>
#include <maya/MGlobal.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using PinFrameMath::Matrix4;

bool isFinite(const Matrix4& m)
{
    for (const auto& row : m.m) {
        for (double v : row) {
            if (!std::isfinite(v)) {
                return false;
            }
        }
    }
    return true;
}

// Length of a matrix array input; 0 when it holds no data.
MStatus readMatrixArray(MDataBlock& data, const MObject& attribute, MObject& arrayData, unsigned& length)
{
    MStatus status;
    MDataHandle handle = data.inputValue(attribute, &status);
    PELLIX_PASS_ON(status);
    arrayData = handle.data();
    length = 0;
    if (arrayData.isNull()) {
        return MS::kSuccess;
    }
    MFnMatrixArrayData fn(arrayData, &status);
    PELLIX_PASS_ON(status);
    length = fn.length(&status);
    return status;
}

// An incoming connection on the attribute's plug or, for an array, on any of its elements.
bool hasIncomingConnection(const MObject& node, const MObject& attribute)
{
    MPlug plug(node, attribute);
    if (plug.isDestination()) {
        return true;
    }
    if (!plug.isArray()) {
        return false;
    }
    const unsigned count = plug.numElements();
    for (unsigned i = 0; i < count; ++i) {
        if (plug.elementByPhysicalIndex(i).isDestination()) {
            return true;
        }
    }
    return false;
}

template <class ArrayFn, class Array>
MStatus readArrayInput(MDataBlock& data, const MObject& attribute, Array& values)
{
    MStatus status;
    MDataHandle handle = data.inputValue(attribute, &status);
    PELLIX_PASS_ON(status);
    MObject arrayData = handle.data();
    if (arrayData.isNull()) {
        return values.clear();
    }
    ArrayFn fn(arrayData, &status);
    PELLIX_PASS_ON(status);
    return fn.copyTo(values);
}

} // namespace

MStatus readDoubleArrayInput(MDataBlock& data, const MObject& attribute, MDoubleArray& values)
{
    return readArrayInput<MFnDoubleArrayData>(data, attribute, values);
}

MStatus readIntArrayInput(MDataBlock& data, const MObject& attribute, MIntArray& values)
{
    return readArrayInput<MFnIntArrayData>(data, attribute, values);
}

PinEvaluation::PinEvaluation(const PinNodeAttributes& attributes, const char* statusSource)
    : kStatusSource(statusSource), fAttributes(attributes)
{
}

bool PinEvaluation::selectOutputs(const MPlug& plug, PinOutputRequest& request) const
{
    const MObject attribute = plug.attribute();
    request.wantMatrix = attribute == fAttributes.outputMatrix;
    request.wantTranslate = attribute == fAttributes.outputTranslate ||
                            (plug.isChild() && plug.parent().attribute() == fAttributes.outputTranslate);
    return request.wantMatrix || request.wantTranslate;
}

MStatus PinEvaluation::readDeformedGeometry(MDataBlock& data, const MObject& node, const char* nodeLabel,
                                            MObject& geometry) const
{
    MStatus status;
    MDataHandle handle = data.inputValue(fAttributes.deformedGeometry, &status);
    PELLIX_CHECK(status);
    geometry = handle.asMesh();
    if (geometry.isNull()) {
        MString message(nodeLabel);
        message += ": " + MFnDependencyNode(node).name() + ".deformedGeometry is null";
        MGlobal::displayError(message);
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus PinEvaluation::readRawPoints(PinComputeStart& start) const
{
    MStatus status;
    start.points = start.mesh.getRawPoints(&status);
    if (!status || start.points == nullptr) {
        start.points = nullptr;
        return MS::kFailure;
    }
    return MS::kSuccess;
}

MStatus PinEvaluation::readMaintainOffset(MDataBlock& data)
{
    MStatus status;
    MDataHandle handle = data.inputValue(fAttributes.bindMaintainOffset, &status);
    PELLIX_CHECK(status);
    fMaintainOffset = handle.asBool();
    return MS::kSuccess;
}

bool PinEvaluation::finite(double value)
{
    return std::isfinite(value);
}

void PinEvaluation::beginBindLoad(const MObject& node, int count)
{
    MStatus status;
    MFnDependencyNode fn(node, &status);
    fLoadingNodeName = status ? fn.name() : MString(kStatusSource);
    fRejectedPins.assign(static_cast<size_t>(std::max(count, 0)), 0);
}

void PinEvaluation::rejectNonFinitePin(int pin, const char* attributeName)
{
    if (pin < 0 || static_cast<size_t>(pin) >= fRejectedPins.size() || fRejectedPins[pin]) {
        return;
    }
    fRejectedPins[pin] = 1;
    MString message = fLoadingNodeName;
    message += ": pin ";
    message += pin;
    message += " has non-finite ";
    message += attributeName;
    message += "; the pin is left out until it is bound again.";
    MGlobal::displayError(message);
}

MStatus PinEvaluation::loadBindMatrices(MDataBlock& data, int count)
{
    fBindSurfaceInverse.clear();
    fBindControl.clear();
    fBindDataPresent.clear();
    if (fMaintainOffset && count > 0) {
        MObject surfaceData;
        MObject controlData;
        unsigned surfaceCount = 0;
        unsigned controlCount = 0;
        PELLIX_CHECK(readMatrixArray(data, fAttributes.bindSurfaceMatrices, surfaceData, surfaceCount));
        PELLIX_CHECK(readMatrixArray(data, fAttributes.bindControlMatrices, controlData, controlCount));
        fBindSurfaceInverse.assign(count, Matrix4::identity());
        fBindControl.assign(count, Matrix4::identity());
        fBindDataPresent.assign(count, 0);

        const unsigned present = std::min(surfaceCount, static_cast<unsigned>(count));
        if (present > 0) {
            MStatus status;
            MFnMatrixArrayData surfaces(surfaceData, &status);
            PELLIX_CHECK(status);
            for (unsigned i = 0; i < present; ++i) {
                const Matrix4 inverse = toMatrix4(surfaces[i].inverse());
                if (!isFinite(toMatrix4(surfaces[i])) || !isFinite(inverse)) {
                    rejectNonFinitePin(static_cast<int>(i), "bindSurfaceMatrices");
                    continue;
                }
                fBindSurfaceInverse[i] = inverse;
                fBindDataPresent[i] = 1;
            }
        }
        if (controlCount > 0) {
            MStatus status;
            MFnMatrixArrayData controls(controlData, &status);
            PELLIX_CHECK(status);
            for (unsigned i = 0; i < present && i < controlCount; ++i) {
                const Matrix4 control = toMatrix4(controls[i]);
                if (!isFinite(control)) {
                    rejectNonFinitePin(static_cast<int>(i), "bindControlMatrices");
                    continue;
                }
                fBindControl[i] = control;
            }
        }
    }
    fBindDataDirty = false;
    invalidateValidity();
    fValidityResult = true;
    return MS::kSuccess;
}

bool PinEvaluation::topologyChanged(int vertexCount, int polygonCount, int normalCount) const
{
    return vertexCount != fCachedVertexCount || polygonCount != fCachedPolygonCount ||
           normalCount != fCachedNormalCount;
}

void PinEvaluation::noteTopology(int vertexCount, int polygonCount, int normalCount)
{
    if (topologyChanged(vertexCount, polygonCount, normalCount)) {
        fCachedVertexCount = vertexCount;
        fCachedPolygonCount = polygonCount;
        fCachedNormalCount = normalCount;
        invalidateValidity();
    }
}

void PinEvaluation::noteConnectionChange(const MPlug& plug, bool asSrc)
{
    if (asSrc) {
        return;
    }
    // Elements of the array inputs report the array's attribute.
    const MObject attribute = plug.attribute();
    if (attribute == fAttributes.deformedGeometry) {
        fMeshPathDirty = true;
    } else if (attribute == fAttributes.geometryWorldMatrix) {
        fGwmConnectionDirty = true;
    } else if (attribute == fAttributes.controlLocalInverseMatrix) {
        fClimConnectionDirty = true;
    } else if (attribute == fAttributes.controlParentInverseMatrix) {
        fCpimConnectionDirty = true;
    }
}

PinFrameMath::Matrix4 toMatrix4(const MMatrix& m)
{
    PinFrameMath::Matrix4 out;
    std::memcpy(out.m, m.matrix, sizeof(out.m));
    return out;
}

bool connectedMeshPath(const MPlug& input, MDagPath& path)
{
    MPlugArray sources;
    if (!input.connectedTo(sources, true, false) || sources.length() == 0) {
        return false;
    }
    const MPlug& source = sources[0];
    const MObject sourceNode = source.node();
    if (!sourceNode.hasFn(MFn::kDagNode)) {
        return false;
    }
    MDagPathArray paths;
    if (!MDagPath::getAllPathsTo(sourceNode, paths) || paths.length() == 0) {
        return false;
    }
    // worldMesh[i] belongs to instance i.
    const unsigned instance = source.isElement() ? source.logicalIndex() : 0;
    path = paths[0];
    for (unsigned i = 0; i < paths.length(); ++i) {
        if (paths[i].instanceNumber() == instance) {
            path = paths[i];
            break;
        }
    }
    return true;
}

void PinEvaluation::lookUpMeshPath(const MObject& node)
{
    fMeshPathFound = connectedMeshPath(MPlug(node, fAttributes.deformedGeometry), fMeshPath);
}

MStatus PinEvaluation::readGeometryMatrix(const MObject& node, MDataBlock& data)
{
    fFrameInputs.geometry = PinFrameMath::identityBlock();
    if (fGwmConnectionDirty) {
        fGwmConnected = MPlug(node, fAttributes.geometryWorldMatrix).isDestination();
        fGwmConnectionDirty = false;
    }
    if (fGwmConnected) {
        MStatus status;
        MDataHandle handle = data.inputValue(fAttributes.geometryWorldMatrix, &status);
        PELLIX_CHECK(status);
        fFrameInputs.geometry = PinFrameMath::geometryBlock(toMatrix4(handle.asMatrix()));
        return MS::kSuccess;
    }
    if (fMeshPathDirty) {
        lookUpMeshPath(node);
        fMeshPathDirty = false;
    }
    if (fMeshPathFound) {
        MStatus status;
        const MMatrix world = fMeshPath.inclusiveMatrix(&status);
        if (status) {
            fFrameInputs.geometry = PinFrameMath::geometryBlock(toMatrix4(world));
        }
    }
    return MS::kSuccess;
}

PinEvaluation::InverseResult PinEvaluation::readInverseArray(MDataBlock& data, const MObject& attribute, int count,
                                                             std::vector<Matrix4>& matrices,
                                                             std::vector<uint8_t>& present, MStatus& status) const
{
    matrices.clear();
    present.clear();
    MArrayDataHandle array = data.inputArrayValue(attribute, &status);
    if (!status) {
        return InverseResult::kNone;
    }
    const unsigned elements = array.elementCount();
    if (count <= 0 || elements == 0) {
        return InverseResult::kNone;
    }
    matrices.assign(count, Matrix4::identity());

    // Dense: elements 0 .. count - 1 all exist.
    if (elements >= static_cast<unsigned>(count)) {
        bool complete = true;
        for (int i = 0; i < count && complete; ++i) {
            complete = array.jumpToElement(static_cast<unsigned>(i));
            if (complete) {
                matrices[i] = toMatrix4(array.inputValue().asMatrix());
            }
        }
        if (complete) {
            return InverseResult::kAll;
        }
    }

    // Sparse: take whichever logical elements lie below the pin count.
    present.assign(count, 0);
    bool any = false;
    for (unsigned p = 0; p < elements; ++p) {
        if (!array.jumpToArrayElement(p)) {
            continue;
        }
        const unsigned k = array.elementIndex();
        if (k < static_cast<unsigned>(count)) {
            matrices[k] = toMatrix4(array.inputValue().asMatrix());
            present[k] = 1;
            any = true;
        }
    }
    if (any) {
        return InverseResult::kSome;
    }
    matrices.clear();
    present.clear();
    return InverseResult::kNone;
}

MStatus PinEvaluation::readInverseInput(const MObject& node, MDataBlock& data, const MObject& attribute, int count,
                                        bool& connectionDirty, bool& connected, std::vector<Matrix4>& matrices,
                                        std::vector<uint8_t>& present, PinFrameMath::InverseMatrices& view) const
{
    view = PinFrameMath::InverseMatrices();
    if (connectionDirty) {
        connected = hasIncomingConnection(node, attribute);
        connectionDirty = false;
    }
    if (!connected) {
        matrices.clear();
        present.clear();
        return MS::kSuccess;
    }
    MStatus status;
    const InverseResult result = readInverseArray(data, attribute, count, matrices, present, status);
    PELLIX_CHECK(status);
    if (result != InverseResult::kNone) {
        view.matrices = matrices.data();
        view.allPresent = result == InverseResult::kAll;
        view.present = present.empty() ? nullptr : present.data();
    }
    return MS::kSuccess;
}

MStatus PinEvaluation::readMatrixInputs(const MObject& node, MDataBlock& data, int count,
                                        const PinOutputRequest& request)
{
    PELLIX_CHECK(readGeometryMatrix(node, data));

    MStatus status;
    MDataHandle useInverseHandle = data.inputValue(fAttributes.bindUseControlInverse, &status);
    PELLIX_CHECK(status);
    const bool useInverse = useInverseHandle.asBool();

    PinFrameMath::FrameInputs& inputs = fFrameInputs;
    inputs.translateOnly = request.wantTranslate && !request.wantMatrix && !fMaintainOffset && !useInverse;
    inputs.maintainOffset = fMaintainOffset;
    inputs.bindSurfaceInverse = fBindSurfaceInverse.empty() ? nullptr : fBindSurfaceInverse.data();
    inputs.bindControl = fBindControl.empty() ? nullptr : fBindControl.data();
    inputs.bindDataPresent = fBindDataPresent.empty() ? nullptr : fBindDataPresent.data();

    if (!inputs.translateOnly && useInverse) {
        PELLIX_CHECK(readInverseInput(node, data, fAttributes.controlLocalInverseMatrix, count, fClimConnectionDirty,
                                      fClimConnected, fLocalInverse, fLocalInversePresent, inputs.localInverse));
    } else {
        fLocalInverse.clear();
        fLocalInversePresent.clear();
        inputs.localInverse = PinFrameMath::InverseMatrices();
    }
    PELLIX_CHECK(readInverseInput(node, data, fAttributes.controlParentInverseMatrix, count, fCpimConnectionDirty,
                                  fCpimConnected, fParentInverse, fParentInversePresent, inputs.parentInverse));
    return MS::kSuccess;
}

template <class Binding>
MStatus PinEvaluation::evaluate(MFnMesh& mesh, const float* points, const std::vector<Binding>& pins,
                                MDataBlock& data, const PinOutputRequest& request)
{
    fFrameInputs.points = points;
    fFrameInputs.normals = nullptr;
    if (!fFrameInputs.translateOnly) {
        // Without normals the frames fall back to the triangles' own normals.
        MStatus status;
        const float* normals = mesh.getRawNormals(&status);
        fFrameInputs.normals = status ? normals : nullptr;
    }
    const int count = static_cast<int>(pins.size());
    fOutputs.resize(pins.size(), Matrix4::identity());
    fFreshOutputs.resize(pins.size());
    PinFrameMath::evaluatePins(fFrameInputs, pins.data(), count, fFreshOutputs.data());
    // Rejected pins and frames that came out non-finite (e.g. from non-finite driver points
    // or input matrices) keep their last finite output, so no control is handed a NaN.
    for (int i = 0; i < count; ++i) {
        const bool rejected = static_cast<size_t>(i) < fRejectedPins.size() && fRejectedPins[i];
        if (!rejected && isFinite(fFreshOutputs[i])) {
            fOutputs[i] = fFreshOutputs[i];
        }
    }
    return writeOutputs(data, count, request);
}

template MStatus PinEvaluation::evaluate(MFnMesh&, const float*, const std::vector<PinFrameMath::PinBinding>&,
                                         MDataBlock&, const PinOutputRequest&);
template MStatus PinEvaluation::evaluate(MFnMesh&, const float*, const std::vector<PinFrameMath::UVPinBinding>&,
                                         MDataBlock&, const PinOutputRequest&);

MStatus PinEvaluation::replaceOutputArray(MDataBlock& data, const MObject& attribute, int count, bool asTranslate)
{
    MStatus status;
    MArrayDataHandle output = data.outputArrayValue(attribute, &status);
    PELLIX_CHECK(status);
    auto write = [&](MDataHandle element, int i) {
        const Matrix4& m = fOutputs[i];
        if (asTranslate) {
            element.set3Double(m.m[3][0], m.m[3][1], m.m[3][2]);
        } else {
            element.setMMatrix(MMatrix(m.m));
        }
    };
    // In steady use the array already holds elements 0 .. count-1: write them where they
    // are. Any other layout is rebuilt, dropping the elements of pins that are gone.
    bool inPlace = output.elementCount() == static_cast<unsigned>(count);
    for (int i = 0; inPlace && i < count; ++i) {
        inPlace = output.jumpToArrayElement(static_cast<unsigned>(i)) &&
                  output.elementIndex() == static_cast<unsigned>(i);
        if (inPlace) {
            MDataHandle element = output.outputValue(&status);
            PELLIX_CHECK(status);
            write(element, i);
        }
    }
    if (!inPlace) {
        MArrayDataBuilder builder(&data, attribute, static_cast<unsigned>(count), &status);
        PELLIX_CHECK(status);
        for (int i = 0; i < count; ++i) {
            MDataHandle element = builder.addElement(static_cast<unsigned>(i), &status);
            PELLIX_CHECK(status);
            write(element, i);
        }
        PELLIX_CHECK(output.set(builder));
    }
    PELLIX_CHECK(output.setAllClean());
    PELLIX_CHECK(data.setClean(attribute));
    return MS::kSuccess;
}

MStatus PinEvaluation::writeOutputs(MDataBlock& data, int count, const PinOutputRequest& request)
{
    if (request.wantMatrix) {
        PELLIX_CHECK(replaceOutputArray(data, fAttributes.outputMatrix, count, false));
    }
    if (request.wantTranslate) {
        PELLIX_CHECK(replaceOutputArray(data, fAttributes.outputTranslate, count, true));
    }
    return MS::kSuccess;
}

MStatus PinEvaluation::emptyOutputs(MDataBlock& data, const PinOutputRequest& request)
{
    fOutputs.clear();
    return writeOutputs(data, 0, request);
}
