#include "pins/SurfacePinBindCommand.h"

#include "pins/PinBindTargets.h"
#include "pins/PinCommandSupport.h"
#include "pins/PinEvaluation.h"
#include "pins/PinFrameMath.h"
#include "plugin/StatusCheck.h"

#include <maya/MArgDatabase.h>
#include <maya/MDagPathArray.h>
#include <maya/MFn.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPlug.h>
#include <maya/MPlugArray.h>
#include <maya/MSelectionList.h>

#include <string>
#include <vector>

using namespace PinCommandSupport;
using PinFrameMath::Vec3d;

namespace {
const char* const kStatusSource = "surfacePinCommand";

const char* const kInverseIgnoredInTranslateMode =
    "surfacePinBind: translate mode does not use the control inverse: the pin drives each control's "
    "translate, so its inverseMatrix is left unconnected.";

// The normal id of a triangle corner: the face-vertex normal at the corner's first place in
// the face's vertex list, -1 when the corner is missing or the normal list is short.
int cornerNormalId(const PinFrameMath::FaceCorners& face, const MIntArray& faceNormalIds, int vertexId)
{
    for (int k = 0; k < face.count; ++k) {
        if (face.vertexIds[k] == vertexId)
            return static_cast<unsigned>(k) < faceNormalIds.length() ? faceNormalIds[k] : -1;
    }
    return -1;
}

// Whether any element of "outputTranslate", or a child of one, drives something.
bool drivesTranslate(const MPlug& outputTranslate)
{
    MPlugArray destinations;
    for (unsigned e = 0; e < outputTranslate.numElements(); ++e) {
        const MPlug element = outputTranslate.elementByPhysicalIndex(e);
        if (element.destinations(destinations))
            return true;
        for (unsigned c = 0; c < element.numChildren(); ++c) {
            if (element.child(c).destinations(destinations))
                return true;
        }
    }
    return false;
}

MStatus queueArrayValue(MDGModifier& modifier, const MObject& node, const char* attribute, MObject data)
{
    MStatus status;
    const MPlug plug = nodePlug(node, attribute, &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(modifier.newPlugValue(plug, data));
    return MStatus::kSuccess;
}
} // namespace

const MString SurfacePinBindCommand::commandName("surfacePinBind");

SurfacePinBindCommand::SurfacePinBindCommand() = default;
SurfacePinBindCommand::~SurfacePinBindCommand() = default;

void* SurfacePinBindCommand::creator()
{
    return new SurfacePinBindCommand();
}

MSyntax SurfacePinBindCommand::newSyntax()
{
    MSyntax syntax;
    PELLIX_REPORT(syntax.addFlag("-n", "-node", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-mo", "-maintainOffset"));
    PELLIX_REPORT(syntax.addFlag("-iv", "-inverse", MSyntax::kBoolean));
    PELLIX_REPORT(syntax.addFlag("-c", "-connect", MSyntax::kString));
    PELLIX_REPORT(syntax.addFlag("-to", "-translateOnly", MSyntax::kBoolean));
    // The mesh, then the controls, by name; the active selection when none are named.
    PELLIX_REPORT(syntax.setObjectType(MSyntax::kStringObjects));
    syntax.enableQuery(false);
    syntax.enableEdit(false);
    return syntax;
}

bool SurfacePinBindCommand::isUndoable() const
{
    return true;
}

MStatus SurfacePinBindCommand::parseFlags(const MArgDatabase& args)
{
    MStatus status;
    fMaintainOffsetGiven = fMaintainOffset = args.isFlagSet("-mo");
    fInverseGiven = args.isFlagSet("-iv");
    if (fInverseGiven)
        PELLIX_CHECK(args.getFlagArgument("-iv", 0, fUseInverse));
    fConnectGiven = args.isFlagSet("-c");
    fTranslateOnlyGiven = args.isFlagSet("-to");
    fTranslateOnly = false;
    if (fConnectGiven) {
        MString mode;
        PELLIX_CHECK(args.getFlagArgument("-c", 0, mode));
        mode.toLowerCase();
        if (mode == "translate") {
            fTranslateOnly = true;
        } else if (mode != "matrix") {
            displayError("surfacePinBind: -connect must be 'matrix' or 'translate'.");
            return MS::kFailure;
        }
    } else if (fTranslateOnlyGiven) {
        PELLIX_CHECK(args.getFlagArgument("-to", 0, fTranslateOnly));
    }
    fCreateNew = !args.isFlagSet("-n");
    return MStatus::kSuccess;
}

MStatus SurfacePinBindCommand::doIt(const MArgList& argList)
{
    MStatus status;
    MArgDatabase args(syntax(), argList, &status);
    if (!status)
        return status;  // the parser has said what is wrong
    status = parseFlags(args);
    if (!status)
        return status;

    MStringArray names;
    PELLIX_CHECK(collectObjectNames(args, names));
    if (fCreateNew) {
        if (names.length() < 2) {
            displayError("Usage: surfacePinBind mesh ctrl0 ctrl1 ...");
            return MS::kFailure;
        }
        PELLIX_PASS_ON(gatherNewTargets(commandName, names, fTargets));
    } else {
        MString nodeName;
        PELLIX_CHECK(args.getFlagArgument("-n", 0, nodeName));
        PELLIX_PASS_ON(gatherExistingTargets(commandName, "surfacePin", nodeName, names, fTargets));
        PELLIX_PASS_ON(checkBindPlugs(commandName, fTargets.node,
                                      {"vertexIndices", "normalIndices", "baryWeights", "bindTangents",
                                       "bindSurfaceMatrices", "bindControlMatrices", "bindMaintainOffset",
                                       "bindUseControlInverse"}));
    }

    PELLIX_PASS_ON(readControlMatrices(commandName, fTargets.controls, fControlMatrices));

    if (!fCreateNew)
        PELLIX_CHECK(readExistingSettings());
    // Existing controls keep their connections unless the mode is restated, or their
    // element indices moved (a control was removed) so that pins shift under them.
    const bool reconnectAll = fCreateNew || fConnectGiven || fTranslateOnlyGiven || !fTargets.existingIndicesDense;
    const unsigned firstReconnected = reconnectAll ? 0 : fTargets.existingControlCount;
    PELLIX_PASS_ON(checkControls(commandName, fTargets, firstReconnected,
                                 fTranslateOnly ? ControlDrive::kTranslate : ControlDrive::kMatrixFreeingTranslate));

    if (fCreateNew) {
        fTargets.node = fNodeModifier.createNode("surfacePin", &status);
        PELLIX_CHECK(status);
    }
    PELLIX_CHECK(queueNodeConnections());
    PELLIX_CHECK(queueControlConnections(firstReconnected));
    return redoIt();
}

MStatus SurfacePinBindCommand::readExistingSettings()
{
    MStatus status;
    if (!fInverseGiven) {
        const MPlug useInverse = nodePlug(fTargets.node, "bindUseControlInverse", &status);
        PELLIX_CHECK(status);
        fUseInverse = useInverse.asBool(&status);
        PELLIX_CHECK(status);
    }
    if (!fTranslateOnlyGiven && !fConnectGiven) {
        const MPlug outputTranslate = nodePlug(fTargets.node, "outputTranslate", &status);
        PELLIX_CHECK(status);
        fTranslateOnly = drivesTranslate(outputTranslate);
    }
    return MStatus::kSuccess;
}

MStatus SurfacePinBindCommand::queueNodeConnections()
{
    // In translate mode the pin drives the controls' translate, which their inverseMatrix
    // is made from: connecting it would feed each output back into its own input.
    if (fUseInverse && fTranslateOnly)
        displayWarning(kInverseIgnoredInTranslateMode);
    return queueNodeInputs(fNodeModifier, fTargets, fCreateNew, fUseInverse && !fTranslateOnly);
}

MStatus SurfacePinBindCommand::queueControlConnections(unsigned start)
{
    static const char* const kTranslateChannels[] = {"translateX", "translateY", "translateZ"};
    MStatus status;
    const MPlug outputTranslate = nodePlug(fTargets.node, "outputTranslate", &status);
    PELLIX_CHECK(status);
    for (unsigned i = start; i < fTargets.controls.length(); ++i) {
        PELLIX_CHECK(disconnectControlInputs(fControlModifier, fTargets.controls[i], true));
        if (!fTranslateOnly) {
            PELLIX_CHECK(connectControlMatrix(fControlModifier, fTargets.node, fTargets.controls[i], i));
            continue;
        }
        // Translate alone places the control: a matrix left behind would move it again.
        PELLIX_CHECK(resetDrivenOffsetParentMatrix(fControlModifier, fTargets.controls[i]));
        const MPlug element = outputTranslate.elementByLogicalIndex(i, &status);
        PELLIX_CHECK(status);
        MFnDependencyNode controlFn(fTargets.controls[i].node(), &status);
        PELLIX_CHECK(status);
        for (unsigned c = 0; c < 3; ++c) {
            const MPlug channel = controlFn.findPlug(kTranslateChannels[c], true, &status);
            PELLIX_CHECK(status);
            PELLIX_CHECK(fControlModifier.connect(element.child(c), channel));
        }
    }
    return MStatus::kSuccess;
}

MStatus SurfacePinBindCommand::redoIt()
{
    MStatus status = fNodeModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fNodeModifier.undoIt());
        return status;
    }

    if (!fBindComputed) {
        // An extended node keeps its own settings unless the flags restate them.
        if (!fCreateNew && !fMaintainOffsetGiven) {
            fMaintainOffset = nodePlug(fTargets.node, "bindMaintainOffset", &status).asBool();
            PELLIX_REPORT(status);
        }
        if (!fCreateNew && !fInverseGiven) {
            fUseInverse = nodePlug(fTargets.node, "bindUseControlInverse", &status).asBool();
            PELLIX_REPORT(status);
        }
        BindMesh mesh;
        status = mesh.attach(fTargets.meshShape, fTargets.meshTransform);
        PELLIX_REPORT(status);
        if (status)
            status = bindControls(mesh);
        if (status) {
            const MPlug useInverse = nodePlug(fTargets.node, "bindUseControlInverse", &status);
            if (status)
                status = fBindModifier.newPlugValueBool(useInverse, fUseInverse);
            PELLIX_REPORT(status);
        }
        if (!status) {
            PELLIX_REPORT(fNodeModifier.undoIt());
            return status;
        }
        fBindComputed = true;
    }

    status = fBindModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fBindModifier.undoIt());
        PELLIX_REPORT(fNodeModifier.undoIt());
        return status;
    }
    status = fControlModifier.doIt();
    if (!status) {
        status.pAPIerror(kStatusSource, __LINE__);
        PELLIX_REPORT(fControlModifier.undoIt());
        PELLIX_REPORT(fBindModifier.undoIt());
        PELLIX_REPORT(fNodeModifier.undoIt());
        return status;
    }

    const MString name = nodeName(fTargets.node, &status);
    PELLIX_CHECK(status);
    setResult(name);
    return MStatus::kSuccess;
}

MStatus SurfacePinBindCommand::undoIt()
{
    MStatus result = MStatus::kSuccess;
    MDGModifier* const modifiers[] = {&fControlModifier, &fBindModifier, &fNodeModifier};
    for (MDGModifier* modifier : modifiers) {
        const MStatus status = modifier->undoIt();
        if (!status) {
            status.pAPIerror(kStatusSource, __LINE__);
            if (result)
                result = status;
        }
    }
    return result;
}

MStatus SurfacePinBindCommand::bindControls(BindMesh& mesh)
{
    const unsigned count = fTargets.controls.length();
    std::vector<int> vertexIndices(3 * count);
    std::vector<int> normalIndices(3 * count);
    std::vector<double> baryWeights(3 * count);
    std::vector<double> bindTangents(2 * count);
    std::vector<MMatrix> bindSurfaceMatrices(count);  // identity unless maintaining the offset
    std::vector<MMatrix> bindControlMatrices(count);
    const int normalCount = mesh.normalCount();

    MIntArray faceNormalIds;
    for (unsigned i = 0; i < count; ++i) {
        Vec3d closest;
        int face = -1;
        PELLIX_CHECK(mesh.closestPoint(fControlMatrices[i], closest, face));
        PinFrameMath::FaceCorners corners{};
        PELLIX_CHECK(mesh.readFace(face, corners));
        const PinFrameMath::TriangleChoice choice = PinFrameMath::fanTriangleSearch(corners, closest);
        PELLIX_CHECK(mesh.readFaceNormalIds(face, faceNormalIds));
        for (unsigned k = 0; k < 3; ++k) {
            const int normalId = cornerNormalId(corners, faceNormalIds, choice.vertexIds[k]);
            if (normalCount <= 0 || normalId < 0 || normalId >= normalCount) {
                displayError("surfacePinBind: mesh did not provide valid face-vertex normal ids: " +
                             fTargets.meshShape.partialPathName());
                return MS::kFailure;
            }
            vertexIndices[3 * i + k] = choice.vertexIds[k];
            normalIndices[3 * i + k] = normalId;
            baryWeights[3 * i + k] = choice.weights[k];
        }
    }

    std::vector<float> normals;
    PELLIX_CHECK(mesh.readNormals(normals));
    for (unsigned i = 0; i < count; ++i) {
        const int* ids = &vertexIndices[3 * i];
        const double* weights = &baryWeights[3 * i];
        Vec3d cornerPoints[3];
        mesh.cornerPoints(ids, cornerPoints);
        const Vec3d n = PinFrameMath::surfacePinBindNormal(normals.data(), normalCount, &normalIndices[3 * i], weights);
        const PinFrameMath::TangentCoefficients tangent =
            controlTangent(cornerPoints, n, fControlMatrices[i], mesh, PinFrameMath::TangentOrder::kSurfacePin);
        bindTangents[2 * i] = tangent.a;
        bindTangents[2 * i + 1] = tangent.b;
        if (fMaintainOffset) {
            bindSurfaceMatrices[i] = bindFrame(cornerPoints, weights, n, tangent, mesh);
            bindControlMatrices[i] = fControlMatrices[i];
        }
    }

    MStatus status;
    const MObject vertexData = intArrayData(vertexIndices, &status);
    PELLIX_CHECK(status);
    const MObject normalData = intArrayData(normalIndices, &status);
    PELLIX_CHECK(status);
    const MObject weightData = doubleArrayData(baryWeights, &status);
    PELLIX_CHECK(status);
    const MObject tangentData = doubleArrayData(bindTangents, &status);
    PELLIX_CHECK(status);
    const MObject surfaceData = matrixArrayData(bindSurfaceMatrices, &status);
    PELLIX_CHECK(status);
    const MObject controlData = matrixArrayData(bindControlMatrices, &status);
    PELLIX_CHECK(status);
    PELLIX_PASS_ON(queueArrayValue(fBindModifier, fTargets.node, "vertexIndices", vertexData));
    PELLIX_PASS_ON(queueArrayValue(fBindModifier, fTargets.node, "normalIndices", normalData));
    PELLIX_PASS_ON(queueArrayValue(fBindModifier, fTargets.node, "baryWeights", weightData));
    PELLIX_PASS_ON(queueArrayValue(fBindModifier, fTargets.node, "bindTangents", tangentData));
    PELLIX_PASS_ON(queueArrayValue(fBindModifier, fTargets.node, "bindSurfaceMatrices", surfaceData));
    PELLIX_PASS_ON(queueArrayValue(fBindModifier, fTargets.node, "bindControlMatrices", controlData));
    const MPlug maintainOffset = nodePlug(fTargets.node, "bindMaintainOffset", &status);
    PELLIX_CHECK(status);
    PELLIX_CHECK(fBindModifier.newPlugValueBool(maintainOffset, fMaintainOffset));
    return MStatus::kSuccess;
}
