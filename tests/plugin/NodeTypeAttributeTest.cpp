// The attributes of the node types whose behaviour comes later, as far as other code and
// saved scenes rely on them already: enum values handed to the draw manager, defaults,
// and which inputs dirty which outputs.

#include "PluginTestSupport.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MMessage.h>
#include <maya/MNodeMessage.h>
#include <maya/MPlug.h>

#include <set>
#include <string>
#include <vector>

namespace {

void recordDirtyPlug(MObject&, MPlug& plug, void* clientData)
{
    MFnAttribute attr(plug.attribute());
    static_cast<std::set<std::string>*>(clientData)->insert(attr.name().asChar());
}

// The names of the attributes dirtied on `node` while `command` runs.
std::set<std::string> dirtiedBy(MObject& node, const std::string& command)
{
    std::set<std::string> dirtied;
    MStatus status;
    const MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(node, recordDirtyPlug, &dirtied, &status);
    EXPECT_TRUE(status);
    EXPECT_TRUE(mel(command)) << command;
    EXPECT_TRUE(MMessage::removeCallback(id));
    return dirtied;
}

class NodeTypeAttributes : public PellixPluginTest
{
};

} // namespace

TEST_F(NodeTypeAttributes, ShapeControlEnumsCarryTheDrawManagerValues)
{
    ASSERT_TRUE(mel("createNode shapeControl -name controlShape"));
    MObject node = nodeByName("controlShape");
    MFnDependencyNode fn(node);

    struct Field
    {
        const char* attribute;
        const char* name;
        short value;
    };
    const Field fields[] = {
        {"primitive", "Points", 0},       {"primitive", "Lines", 1},        {"primitive", "lineStrip", 2},
        {"primitive", "closedLine", 3},   {"primitive", "Triangles", 4},    {"primitive", "TriStrip", 5},
        {"lineStyle", "Solid", 0},        {"lineStyle", "shortdotted", 1},  {"lineStyle", "shortdashed", 2},
        {"lineStyle", "dashed", 3},       {"lineStyle", "dotted", 4},       {"paintStyle", "Flat", 0},
        {"paintStyle", "Stippled", 1},    {"paintStyle", "Shaded", 2},
    };
    for (const Field& field : fields) {
        MFnEnumAttribute enumFn(fn.attribute(field.attribute));
        MStatus status;
        EXPECT_EQ(enumFn.fieldIndex(field.name, &status), field.value) << field.attribute << " " << field.name;
        EXPECT_TRUE(status) << field.name;
    }
    EXPECT_EQ(melInt("getAttr controlShape.primitive"), 4);
    EXPECT_EQ(melInt("getAttr controlShape.lineStyle"), 0);
    EXPECT_EQ(melInt("getAttr controlShape.readoutTextSize"), 15);
    EXPECT_EQ(melInt("getAttr controlShape.enableHover"), 1);
}

TEST_F(NodeTypeAttributes, PinBindInputsDirtyBothOutputs)
{
    struct Input
    {
        const char* type;
        const char* setting;  // "attribute value" as setAttr takes it
    };
    const Input inputs[] = {
        {"surfacePin", "baryWeights -type doubleArray 3 0.2 0.3 0.5"},
        {"surfacePin", "vertexIndices -type Int32Array 3 0 1 2"},
        {"surfacePin", "normalIndices -type Int32Array 3 0 1 2"},
        {"surfacePin", "bindTangents -type doubleArray 2 1 0"},
        {"surfacePin", "bindMaintainOffset 1"},
        {"surfacePin", "bindUseControlInverse 1"},
        {"surfacePin", "controlParentInverseMatrix[2] -type \"matrix\" 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1"},
        {"surfaceUVPin", "pinUVs -type doubleArray 2 0.5 0.5"},
        {"surfaceUVPin", "preferredTriangleIndices -type Int32Array 1 3"},
        {"surfaceUVPin", "uvSet -type \"string\" \"other\""},
        {"surfaceUVPin", "bindTangents -type doubleArray 2 1 0"},
        {"surfaceUVPin", "bindMaintainOffset 1"},
    };
    for (const Input& input : inputs) {
        SCOPED_TRACE(std::string(input.type) + "." + input.setting);
        const std::string name = melString(std::string("createNode ") + input.type).asChar();
        MObject node = nodeByName(name.c_str());
        const std::set<std::string> dirtied = dirtiedBy(node, "setAttr " + name + "." + input.setting);
        EXPECT_EQ(dirtied.count("outputMatrix"), 1u) << ::testing::PrintToString(dirtied);
        EXPECT_EQ(dirtied.count("outputTranslate"), 1u);
    }
}

TEST_F(NodeTypeAttributes, PinOutputsAreNotSavedOrSettable)
{
    for (const char* type : {"surfacePin", "surfaceUVPin"}) {
        SCOPED_TRACE(type);
        MObject node = nodeByName(melString(std::string("createNode ") + type));
        MFnDependencyNode fn(node);
        for (const char* output : {"outputMatrix", "outputTranslate"}) {
            MFnAttribute attr(fn.attribute(output));
            EXPECT_TRUE(attr.isArray()) << output;
            EXPECT_TRUE(attr.usesArrayDataBuilder()) << output;
            EXPECT_FALSE(attr.isStorable()) << output;
            EXPECT_FALSE(attr.isWritable()) << output;
        }
        MPlug element = MPlug(node, fn.attribute("outputTranslate")).elementByLogicalIndex(0);
        ASSERT_EQ(element.numChildren(), 3u);
        EXPECT_EQ(MFnAttribute(element.child(2).attribute()).name(), MString("outputTranslateZ"));
        EXPECT_EQ(MFnAttribute(element.child(2).attribute()).shortName(), MString("otz"));
    }
}

TEST_F(NodeTypeAttributes, VertexMappingDirtiesTheDeformedGeometry)
{
    ASSERT_TRUE(mel("createNode vertexWrap -name wrap"));
    MObject node = nodeByName("wrap");
    const std::set<std::string> dirtied = dirtiedBy(node, "setAttr wrap.vertexMapping[0] -type Int32Array 2 5 -1");
    EXPECT_EQ(dirtied.count("outputGeometry"), 1u) << ::testing::PrintToString(dirtied);
    MFnAttribute mapping(MFnDependencyNode(node).attribute("vertexMapping"));
    EXPECT_TRUE(mapping.isArray());
    EXPECT_FALSE(mapping.isConnectable());
    EXPECT_TRUE(mapping.isStorable());
}
