#include "SurfacePinBindTestSupport.h"

#include "commands/scene/MayaAsciiWriter.h"

#include <maya/MDagPath.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnDoubleArrayData.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMatrixArrayData.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MMatrixArray.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace pinbind {
namespace {

MPlug plugNamed(const std::string& name)
{
    MSelectionList list;
    MPlug plug;
    EXPECT_TRUE(list.add(MString(name.c_str())) && list.getPlug(0, plug)) << "no plug " << name;
    return plug;
}

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

std::string undoableMel(const std::string& command)
{
    MString result;
    EXPECT_TRUE(MGlobal::executeCommand(MString(command.c_str()), result, false, true)) << command;
    return result.asChar();
}

std::vector<int> intArray(const std::string& plug)
{
    const MObject data = arrayData(plug);
    if (data.isNull()) {
        return {};
    }
    const MIntArray values = MFnIntArrayData(data).array();
    return copied<int>(values);
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

std::string sceneText()
{
    std::string text;
    EXPECT_TRUE(host::MayaAsciiWriter::write("pins.ma", text));
    return text;
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
