#include "SurfacePinNodeSupport.h"

#include "PluginTestSupport.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MFnMatrixData.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>

#include <cmath>
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
