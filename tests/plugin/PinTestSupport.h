#pragma once
// The pin tests' scene and helpers: a plane with controls around it, bind arrays written by
// hand, per-pin outputs pulled through their plugs (which evaluates them), and what the bind
// commands leave in the scene read back.

#include "PluginTestSupport.h"

#include "commands/MessageOutput.h"

#include <maya/MMatrix.h>
#include <maya/MString.h>
#include <maya/MVector.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// setAttr of a typed array attribute ("Int32Array", "doubleArray" or "matrixArray").
void setIntArray(const std::string& plug, const std::vector<int>& values);
void setDoubleArray(const std::string& plug, const std::vector<double>& values);
void setMatrixArray(const std::string& plug, const std::vector<MMatrix>& values);

// Pulls "outputMatrix"[i] / "outputTranslate"[i] of a pin node (a failed evaluation leaves
// the last value).
MMatrix pinOutputMatrix(const std::string& node, unsigned i);
MVector pinOutputTranslate(const std::string& node, unsigned i);
// Number of elements of an output array after pulling it.
unsigned pinOutputCount(const std::string& node, const char* output);

// A frame from its axes and origin (rows X, Y, Z, translation).
MMatrix frameFromRows(const MVector& x, const MVector& y, const MVector& z, const MVector& origin);
MVector translationOf(const MMatrix& m);

::testing::AssertionResult matricesNear(const MMatrix& actual, const MMatrix& expected, double tolerance);
::testing::AssertionResult vectorsNear(const MVector& actual, const MVector& expected, double tolerance);

// Bind arrays of `count` pins spread over a mesh's faces, with uneven weights, tangents and
// UVs, and pin nodes of either type holding a slice of them.
struct PinArrays
{
    std::vector<int> vertices, normals;
    std::vector<double> weights, tangents, uvs;
};
PinArrays spreadPins(const std::string& meshShape, int count);
// A "surfacePin" or "surfaceUVPin" node on `meshShape`'s world mesh and its transform's world
// matrix, holding pins [first, first + size).
void makePinNode(const std::string& type, const std::string& name, const std::string& meshShape,
                 const PinArrays& pins, int first, int size);

namespace pinbind {

// Runs MEL on the undo queue, as a user's command would be, and returns its result.
std::string undoableResult(const std::string& command);

std::vector<double> doubleArray(const std::string& plug);
std::vector<MMatrix> matrixArray(const std::string& plug);

// "node.longAttribute[index]" (children as "node.parent[index].child") of what drives the
// plug, or "" when nothing does.
std::string sourceOf(const std::string& plug);

MMatrix worldMatrix(const std::string& dagName);

// Largest absolute difference between two matrices.
double matrixDistance(const MMatrix& a, const MMatrix& b);

} // namespace pinbind

// Where the controls c0..c3 of PinScene stand.
extern const MVector kControlStart[4];

// A 10 x 10 plane "pPlane1" in XZ, four faces a side, and the controls c0..c3 above and
// below it; nothing selected.
class PinScene : public PellixPluginTest
{
protected:
    void SetUp() override;

    // World position of a control, queried as a user would.
    static MVector worldPosition(const std::string& control);
    static std::string errors(const host::MessageCapture& capture);
    static std::string warnings(const host::MessageCapture& capture);
};
