// What the node types' attributes imply: which inputs dirty which outputs, and values set
// beyond a limit.

#include "PluginTestSupport.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnMeshData.h>
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

TEST_F(NodeTypeAttributes, OnlyTheOverlaysDriverMeshDirtiesItsComputedOutputs)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    MObject node = nodeByName("overlayShape");
    std::set<std::string> dirtied;
    MStatus status;
    const MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(node, recordDirtyPlug, &dirtied, &status);
    ASSERT_TRUE(status);
    MObject mesh = MFnMeshData().create(&status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(MPlug(node, MFnDependencyNode(node).attribute("inMesh")).setMObject(mesh));
    EXPECT_EQ(dirtied.count("evaluatedMesh"), 1u);
    EXPECT_EQ(dirtied.count("geometryChanging"), 1u);
    EXPECT_TRUE(MMessage::removeCallback(id));

    // Display settings and patch data are not wired to the outputs.
    dirtied = dirtiedBy(node, "setAttr overlayShape.enable 0; setAttr overlayShape.patchVertexCounts -type Int32Array 1 3");
    EXPECT_EQ(dirtied.count("evaluatedMesh"), 0u);
    EXPECT_EQ(dirtied.count("geometryChanging"), 0u);
    EXPECT_EQ(dirtied.count("enable"), 1u);
}

TEST_F(NodeTypeAttributes, OverlayValuesAreClampedToHardLimitsOnly)
{
    ASSERT_TRUE(mel("createNode pellixDataOverlay -name overlayShape"));
    const struct
    {
        const char* attribute;
        double set, got;
    } values[] = {{"transparency", 1.5, 1.0}, {"hoverTransparency", -0.5, 0.0}, {"wireframeWidth", 0.01, 0.1},
                  {"readoutTextSize", 2, 6},
                  // A soft maximum bounds only the slider: larger values are kept.
                  {"readoutTextSize", 48, 48},    {"bindTolerance", 0, 1e-12}};
    for (const auto& v : values) {
        ASSERT_TRUE(mel(std::string("setAttr overlayShape.") + v.attribute + " " + std::to_string(v.set)));
        EXPECT_FLOAT_EQ(float(melDouble(std::string("getAttr overlayShape.") + v.attribute)), float(v.got))
            << v.attribute << " " << v.set;
    }
}
