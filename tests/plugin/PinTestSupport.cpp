#include "PinTestSupport.h"
#include "support/TestValues.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixArrayData.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnMesh.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrixArray.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace {

template <class T>
void setArray(const std::string& plug, const char* type, const std::vector<T>& values)
{
    std::ostringstream text;
    text.precision(17);
    text << "setAttr " << plug << " -type " << type << " " << values.size();
    for (const T& v : values) {
        text << " " << v;
    }
    EXPECT_TRUE(mel(text.str())) << text.str();
}

MPlug outputPlug(const std::string& node, const char* output)
{
    MObject object = nodeByName(node.c_str());
    MFnDependencyNode fn(object);
    return fn.findPlug(output, true);
}

} // namespace

void setIntArray(const std::string& plug, const std::vector<int>& values)
{
    setArray(plug, "Int32Array", values);
}

void setDoubleArray(const std::string& plug, const std::vector<double>& values)
{
    setArray(plug, "doubleArray", values);
}

void setMatrixArray(const std::string& plug, const std::vector<MMatrix>& values)
{
    std::ostringstream text;
    text.precision(17);
    text << "setAttr " << plug << " -type matrixArray " << values.size();
    for (const MMatrix& m : values) {
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                text << " " << m(r, c);
            }
        }
    }
    EXPECT_TRUE(mel(text.str())) << text.str();
}

MMatrix pinOutputMatrix(const std::string& node, unsigned i)
{
    MStatus status;
    MObject data = outputPlug(node, "outputMatrix").elementByLogicalIndex(i).asMObject(&status);
    EXPECT_TRUE(status && !data.isNull()) << node << ".outputMatrix[" << i << "]";
    MFnMatrixData fn(data);
    return data.isNull() ? MMatrix() : fn.matrix();
}

MVector pinOutputTranslate(const std::string& node, unsigned i)
{
    const MPlug element = outputPlug(node, "outputTranslate").elementByLogicalIndex(i);
    MVector result;
    for (unsigned c = 0; c < 3; ++c) {
        MStatus status;
        result[c] = element.child(c).asDouble(&status);
        EXPECT_TRUE(status) << node << ".outputTranslate[" << i << "]";
    }
    return result;
}

unsigned pinOutputCount(const std::string& node, const char* output)
{
    return outputPlug(node, output).evaluateNumElements();
}

MMatrix frameFromRows(const MVector& x, const MVector& y, const MVector& z, const MVector& origin)
{
    const MVector rows[4] = {x, y, z, origin};
    MMatrix m;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            m(r, c) = rows[r][c];
        }
        m(r, 3) = r == 3 ? 1.0 : 0.0;
    }
    return m;
}

MVector translationOf(const MMatrix& m)
{
    return MVector(m(3, 0), m(3, 1), m(3, 2));
}

namespace {

std::string matrixText(const MMatrix& m)
{
    std::ostringstream text;
    for (int r = 0; r < 4; ++r) {
        text << "\n   ";
        for (int c = 0; c < 4; ++c) {
            text << " " << m(r, c);
        }
    }
    return text.str();
}

} // namespace

::testing::AssertionResult matricesNear(const MMatrix& actual, const MMatrix& expected, double tolerance)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (!(std::fabs(actual(r, c) - expected(r, c)) <= tolerance)) {
                return ::testing::AssertionFailure() << "element (" << r << ", " << c << ") differs; actual:"
                                                     << matrixText(actual) << "\n  expected:" << matrixText(expected);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult vectorsNear(const MVector& actual, const MVector& expected, double tolerance)
{
    for (unsigned c = 0; c < 3; ++c) {
        if (!(std::fabs(actual[c] - expected[c]) <= tolerance)) {
            return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                                 << ") is not (" << expected.x << ", " << expected.y << ", "
                                                 << expected.z << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

namespace pinbind {
namespace {

MObject arrayData(const std::string& plug)
{
    return plugNamed(plug).asMObject();
}

template <class T, class Array>
std::vector<T> copied(const Array& values)
{
    std::vector<T> out;
    for (unsigned i = 0; i < values.length(); ++i) {
        out.push_back(values[i]);
    }
    return out;
}

std::string attributeName(const MPlug& plug)
{
    return MFnAttribute(plug.attribute()).name().asChar();
}

std::string plugText(const MPlug& plug)
{
    if (plug.isChild()) {
        return plugText(plug.parent()) + "." + attributeName(plug);
    }
    std::string text = MFnDependencyNode(plug.node()).name().asChar();
    text += "." + attributeName(plug);
    if (plug.isElement()) {
        text += "[" + std::to_string(plug.logicalIndex()) + "]";
    }
    return text;
}

} // namespace

std::string undoableResult(const std::string& command)
{
    MString result;
    EXPECT_TRUE(undoableMel(command, &result)) << command;
    return result.asChar();
}

std::vector<double> doubleArray(const std::string& plug)
{
    const MObject data = arrayData(plug);
    if (data.isNull()) {
        return {};
    }
    const MDoubleArray values = MFnDoubleArrayData(data).array();
    return copied<double>(values);
}

std::vector<MMatrix> matrixArray(const std::string& plug)
{
    const MObject data = arrayData(plug);
    if (data.isNull()) {
        return {};
    }
    const MMatrixArray values = MFnMatrixArrayData(data).array();
    return copied<MMatrix>(values);
}

std::string sourceOf(const std::string& plug)
{
    const MPlug source = plugNamed(plug).source();
    return source.isNull() ? std::string() : plugText(source);
}

MMatrix worldMatrix(const std::string& dagName)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(MString(dagName.c_str())) && list.getDagPath(0, path)) << "no DAG node " << dagName;
    return path.inclusiveMatrix();
}

double matrixDistance(const MMatrix& a, const MMatrix& b)
{
    double distance = 0.0;
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            distance = std::max(distance, std::fabs(a(r, c) - b(r, c)));
        }
    }
    return distance;
}

} // namespace pinbind

PinArrays spreadPins(const std::string& meshShape, int count)
{
    PinArrays arrays;
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(meshShape.c_str()) && list.getDagPath(0, path)) << meshShape;
    MFnMesh mesh(path);
    const int faces = mesh.numPolygons();
    for (int i = 0; i < count; ++i) {
        const int face = (i * 37) % faces;
        MIntArray faceVertices, faceNormals;
        EXPECT_TRUE(mesh.getPolygonVertices(face, faceVertices) && mesh.getFaceNormalIds(face, faceNormals));
        const double a = 0.1 + 0.8 * ((i * 7) % 11) / 11.0;
        const double b = (1.0 - a) * ((i * 5) % 9) / 9.0;
        const double w[3] = {a, b, 1.0 - a - b};
        for (unsigned k = 0; k < 3; ++k) {
            arrays.vertices.push_back(faceVertices[k]);
            arrays.normals.push_back(faceNormals[k]);
            arrays.weights.push_back(w[k]);
        }
        arrays.tangents.push_back(1.0 - 0.01 * (i % 50));
        arrays.tangents.push_back(0.02 * (i % 30));
        arrays.uvs.push_back(0.05 + 0.9 * std::fmod(i * 0.618034, 1.0));
        arrays.uvs.push_back(0.05 + 0.9 * std::fmod(i * 0.381966, 1.0));
    }
    return arrays;
}

namespace {

template <class T>
std::vector<T> slice(const std::vector<T>& values, int perPin, int first, int size)
{
    return std::vector<T>(values.begin() + perPin * first, values.begin() + perPin * (first + size));
}

} // namespace

void makePinNode(const std::string& type, const std::string& name, const std::string& meshShape,
                 const PinArrays& pins, int first, int size)
{
    const std::string transform = melStrings("listRelatives -p " + meshShape)[0].asChar();
    ASSERT_TRUE(mel("createNode " + type + " -n " + name));
    ASSERT_TRUE(mel("connectAttr " + meshShape + ".worldMesh[0] " + name + ".deformedGeometry"));
    ASSERT_TRUE(mel("connectAttr " + transform + ".worldMatrix[0] " + name + ".geometryWorldMatrix"));
    if (type == "surfaceUVPin") {
        setDoubleArray(name + ".pinUVs", slice(pins.uvs, 2, first, size));
    } else {
        setIntArray(name + ".vertexIndices", slice(pins.vertices, 3, first, size));
        setIntArray(name + ".normalIndices", slice(pins.normals, 3, first, size));
        setDoubleArray(name + ".baryWeights", slice(pins.weights, 3, first, size));
    }
    setDoubleArray(name + ".bindTangents", slice(pins.tangents, 2, first, size));
}

const MVector kControlStart[4] = {{1.2, 1.0, -3.1}, {-2.0, 0.5, 2.2}, {3.7, -1.0, 0.4}, {-4.1, 2.0, -0.9}};

void PinScene::SetUp()
{
    PellixPluginTest::SetUp();
    ASSERT_TRUE(mel("polyPlane -w 10 -h 10 -sx 4 -sy 4"));
    for (int i = 0; i < 4; ++i) {
        const std::string name = "c" + std::to_string(i);
        const MVector& p = kControlStart[i];
        ASSERT_TRUE(mel("createNode transform -n " + name + "; setAttr " + name + ".translate " +
                        std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z)));
    }
    ASSERT_TRUE(mel("select -cl"));
}

MVector PinScene::worldPosition(const std::string& control)
{
    MDoubleArray values;
    EXPECT_TRUE(MGlobal::executeCommand(MString(("xform -q -ws -t " + control).c_str()), values));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return values.length() == 3 ? MVector(values[0], values[1], values[2]) : MVector(nan, nan, nan);
}

std::string PinScene::errors(const host::MessageCapture& capture)
{
    return capture.text(host::MessageKind::kError).asChar();
}

std::string PinScene::warnings(const host::MessageCapture& capture)
{
    return capture.text(host::MessageKind::kWarning).asChar();
}
