#pragma once
// The evaluation state and steps both pin node types share: which outputs a plug asks for,
// the bind matrices, the cached connection states and mesh path, the geometry matrix, the
// per-pin local and parent inverse matrices, the validity of the pins' ids, the per-pin
// loop and the output arrays. Each node owns one and adds the loading and resolution of its
// own kind of pin.

#include "pins/PinFrameMath.h"
#include "plugin/StatusCheck.h"

#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MFnMesh.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdint>
#include <vector>

// The node's attributes the shared steps read and write.
struct PinNodeAttributes
{
    const MObject& geometryWorldMatrix;
    const MObject& controlLocalInverseMatrix;
    const MObject& controlParentInverseMatrix;
    const MObject& bindSurfaceMatrices;
    const MObject& bindControlMatrices;
    const MObject& bindMaintainOffset;
    const MObject& bindUseControlInverse;
    const MObject& deformedGeometry;
    const MObject& outputMatrix;
    const MObject& outputTranslate;
};

// Copies of a typed array input; empty when it holds no data.
MStatus readDoubleArrayInput(MDataBlock& data, const MObject& attribute, MDoubleArray& values);
MStatus readIntArrayInput(MDataBlock& data, const MObject& attribute, MIntArray& values);

// The path of the mesh instance whose world mesh feeds `input` (a pin node's
// "deformedGeometry"): the instance numbered by the source plug's logical index, else the
// first path. False when nothing feeds it or the source is not a DAG node.
bool connectedMeshPath(const MPlug& input, MDagPath& path);

// The host's matrix as the frame math's (same rows, same row-vector convention).
PinFrameMath::Matrix4 toMatrix4(const MMatrix& m);

// The outputs one compute call is asked for.
struct PinOutputRequest
{
    bool wantMatrix = false;
    bool wantTranslate = false;
};

// What the shared start of a pin compute hands to the node's own steps.
struct PinComputeStart
{
    PinOutputRequest request;
    MFnMesh mesh;                   // the mesh data feeding "deformedGeometry"
    const float* points = nullptr;  // its raw points; null when no pin is left to evaluate
};

class PinEvaluation
{
public:
    // Failed host calls are reported under the owning node's source name.
    PinEvaluation(const PinNodeAttributes& attributes, const char* statusSource);

    // Which outputs a plug asks for; false when it is neither output.
    bool selectOutputs(const MPlug& plug, PinOutputRequest& request) const;

    // The start both pin computes share: the outputs `plug` asks for (kUnknownParameter when
    // neither), the mesh feeding "deformedGeometry" (an error "<nodeLabel>: deformedGeometry
    // is null" without one), the bind data loaded again by `loadBindData` when it is dirty,
    // and the mesh's raw points. Without pins it writes empty outputs and leaves
    // `start.points` null. Failures are reported here; callers pass them on.
    template <class Binding, class LoadBindData>
    MStatus beginCompute(const MPlug& plug, MDataBlock& data, const char* nodeLabel, LoadBindData loadBindData,
                         const std::vector<Binding>& pins, PinComputeStart& start);

    // Bind data.
    bool bindDataDirty() const { return fBindDataDirty; }
    void markBindDataDirty() { fBindDataDirty = true; }
    bool maintainOffset() const { return fMaintainOffset; }
    // Reads "bindMaintainOffset" (at the start of a load).
    MStatus readMaintainOffset(MDataBlock& data);
    // Starts a load of `count` pins of `node`: no pin is rejected yet.
    void beginBindLoad(const MObject& node, int count);
    // Rejects a pin whose stored `attributeName` data is not finite, once per load, with an
    // error naming the node and the pin. A rejected pin is evaluated on safe stand-in data
    // and its outputs keep their last finite value.
    void rejectNonFinitePin(int pin, const char* attributeName);
    bool pinRejected(int pin) const
    {
        return pin >= 0 && static_cast<size_t>(pin) < fRejectedPins.size() && fRejectedPins[pin] != 0;
    }
    // With maintain offset: inverts the stored bind surface matrices and takes the bind
    // control matrices for `count` pins; without, or without pins, drops them. This ends a
    // load: the bind data is clean and the pins' validity is checked again.
    MStatus loadBindMatrices(MDataBlock& data, int count);
    // Whether `value` is finite (stored bind data is checked before it is used).
    static bool finite(double value);

    // Validity of the pins' ids for the mesh's topology, recomputed only after a load or a
    // change of vertex, polygon or normal count (the UV pin adds its own reasons).
    void noteTopology(int vertexCount, int polygonCount, int normalCount);
    bool topologyChanged(int vertexCount, int polygonCount, int normalCount) const;
    void invalidateValidity() { fValidityCached = false; }
    template <class Binding>
    bool pinsValid(const std::vector<Binding>& pins, int vertexCount, int normalCount);

    // Records a connection made or broken on one of this node's inputs.
    void noteConnectionChange(const MPlug& plug, bool asSrc);

    // The geometry matrix, "bindUseControlInverse", the output variant and the local and
    // parent inverse matrices for `count` pins.
    MStatus readMatrixInputs(const MObject& node, MDataBlock& data, int count, const PinOutputRequest& request);

    // Frames of all pins from the mesh's raw arrays, then the wanted output arrays.
    template <class Binding>
    MStatus evaluate(MFnMesh& mesh, const float* points, const std::vector<Binding>& pins, MDataBlock& data,
                     const PinOutputRequest& request);

    // Replaces every wanted output array with an empty one.
    MStatus emptyOutputs(MDataBlock& data, const PinOutputRequest& request);

private:
    // The mesh data feeding "deformedGeometry"; an error naming the node when it is null.
    MStatus readDeformedGeometry(MDataBlock& data, const MObject& node, const char* nodeLabel,
                                 MObject& geometry) const;
    MStatus readRawPoints(PinComputeStart& start) const;

    enum class InverseResult { kNone, kSome, kAll };
    InverseResult readInverseArray(MDataBlock& data, const MObject& attribute, int count,
                                   std::vector<PinFrameMath::Matrix4>& matrices, std::vector<uint8_t>& present,
                                   MStatus& status) const;
    MStatus readInverseInput(const MObject& node, MDataBlock& data, const MObject& attribute, int count,
                             bool& connectionDirty, bool& connected, std::vector<PinFrameMath::Matrix4>& matrices,
                             std::vector<uint8_t>& present, PinFrameMath::InverseMatrices& view) const;
    MStatus readGeometryMatrix(const MObject& node, MDataBlock& data);
    void lookUpMeshPath(const MObject& node);
    MStatus writeOutputs(MDataBlock& data, int count, const PinOutputRequest& request);
    MStatus replaceOutputArray(MDataBlock& data, const MObject& attribute, int count, bool asTranslate);

    const char* const kStatusSource;  // the name PELLIX_CHECK reports under
    const PinNodeAttributes& fAttributes;

    bool fBindDataDirty = true;
    bool fMeshPathDirty = true;
    bool fGwmConnectionDirty = true;
    bool fClimConnectionDirty = true;
    bool fCpimConnectionDirty = true;
    bool fMeshPathFound = false;
    bool fGwmConnected = false;
    bool fClimConnected = false;
    bool fCpimConnected = false;
    bool fMaintainOffset = false;
    bool fValidityCached = false;
    bool fValidityResult = true;
    MDagPath fMeshPath;

    std::vector<PinFrameMath::Matrix4> fBindSurfaceInverse;
    std::vector<PinFrameMath::Matrix4> fBindControl;
    std::vector<uint8_t> fBindDataPresent;
    std::vector<PinFrameMath::Matrix4> fLocalInverse;
    std::vector<uint8_t> fLocalInversePresent;
    std::vector<PinFrameMath::Matrix4> fParentInverse;
    std::vector<uint8_t> fParentInversePresent;
    std::vector<PinFrameMath::Matrix4> fOutputs;      // last finite output per pin
    std::vector<PinFrameMath::Matrix4> fFreshOutputs;  // this evaluation's frames
    std::vector<uint8_t> fRejectedPins;                // non-finite stored bind data
    MString fLoadingNodeName;  // a name, not the node: the node owns this object

    int fCachedVertexCount = -1;
    int fCachedPolygonCount = -1;
    int fCachedNormalCount = -1;

    // What the per-pin loop shares, filled by readMatrixInputs.
    PinFrameMath::FrameInputs fFrameInputs;
};

template <class Binding, class LoadBindData>
MStatus PinEvaluation::beginCompute(const MPlug& plug, MDataBlock& data, const char* nodeLabel,
                                    LoadBindData loadBindData, const std::vector<Binding>& pins,
                                    PinComputeStart& start)
{
    start.points = nullptr;
    if (!selectOutputs(plug, start.request)) {
        return MS::kUnknownParameter;
    }
    MObject geometry;
    PELLIX_PASS_ON(readDeformedGeometry(data, plug.node(), nodeLabel, geometry));
    PELLIX_CHECK(start.mesh.setObject(geometry));
    if (fBindDataDirty) {
        PELLIX_CHECK(loadBindData());
    }
    if (pins.empty()) {
        PELLIX_CHECK(emptyOutputs(data, start.request));
        return MS::kSuccess;
    }
    return readRawPoints(start);
}

template <class Binding>
bool PinEvaluation::pinsValid(const std::vector<Binding>& pins, int vertexCount, int normalCount)
{
    if (fValidityCached) {
        return fValidityResult;
    }
    bool valid = pins.empty();
    if (vertexCount > 0 && normalCount > 0) {
        valid = true;
        for (const Binding& pin : pins) {
            for (int k = 0; k < 3 && valid; ++k) {
                valid = pin.vertexIds[k] >= 0 && pin.vertexIds[k] < vertexCount && pin.normalIds[k] >= 0 &&
                        pin.normalIds[k] < normalCount;
            }
            if (!valid) {
                break;
            }
        }
    }
    fValidityResult = valid;
    fValidityCached = true;
    return valid;
}
