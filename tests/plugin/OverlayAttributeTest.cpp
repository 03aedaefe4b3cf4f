// The "pellixDataOverlay" attribute table as a created node presents it: names, types,
// defaults, limits, flags and order, plus the clamping and dirtying they imply.

#include "PluginTestSupport.h"

#include <maya/MFnAttribute.h>
#include <maya/MFnData.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnMeshData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnStringArrayData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MNodeMessage.h>
#include <maya/MMessage.h>
#include <maya/MPlug.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Kind { Bool, Int, Float, Double, Color, Mesh, IntArray, StringArray, Message };

const double kNone = NAN;

// One row of the table. `flags` lists the flags that are on: S storable, R readable,
// W writable, C connectable, K keyable, H hidden, A array, I index matters, U used as colour.
struct Row
{
    const char* name;
    const char* shortName;
    Kind kind;
    double value;  // default of a scalar
    float rgb[3];  // default of a colour
    const char* flags;
    double min, max, softMax;
};

const Row kTable[] = {
    {"enable", "en", Kind::Bool, 1, {}, "SRWCKI", kNone, kNone, kNone},
    {"liveDraw", "ldw", Kind::Bool, 0, {}, "SRWCKI", kNone, kNone, kNone},
    {"inMesh", "inMesh", Kind::Mesh, 0, {}, "WCI", kNone, kNone, kNone},
    {"bindTolerance", "btol", Kind::Double, 0.0001, {}, "SRWHI", 1e-12, kNone, kNone},
    {"evaluatedMesh", "evm", Kind::Mesh, 0, {}, "RHI", kNone, kNone, kNone},
    {"geometryChanging", "gcg", Kind::Bool, 1, {}, "RHI", kNone, kNone, kNone},
    {"color", "col", Kind::Color, 0, {0.2f, 0.64f, 1.0f}, "SRWCIU", kNone, kNone, kNone},
    {"hoverColor", "hcol", Kind::Color, 0, {1.0f, 0.92f, 0.25f}, "SRWCIU", kNone, kNone, kNone},
    {"selectedColor", "scol", Kind::Color, 0, {0.056f, 1.0f, 0.366f}, "SRWCIU", kNone, kNone, kNone},
    {"transparency", "tp", Kind::Float, 1.0, {}, "SRWCKI", 0.0, 1.0, kNone},
    {"hoverTransparency", "htp", Kind::Float, 0.85, {}, "SRWCKI", 0.0, 1.0, kNone},
    {"selectedTransparency", "stp", Kind::Float, 0.85, {}, "SRWCKI", 0.0, 1.0, kNone},
    {"drawInXray", "dix", Kind::Bool, 0, {}, "SRWCKI", kNone, kNone, kNone},
    {"drawWireframe", "dwf", Kind::Bool, 0, {}, "SRWCI", kNone, kNone, kNone},
    {"wireframeWidth", "wfw", Kind::Float, 1.0, {}, "SRWCKI", 0.1, kNone, kNone},
    {"drawMarker", "dmk", Kind::Bool, 0, {}, "SRWCI", kNone, kNone, kNone},
    {"showTransformReadout", "strd", Kind::Bool, 0, {}, "SRWCKI", kNone, kNone, kNone},
    {"readoutTextSize", "rts", Kind::Int, 13, {}, "SRWCKI", 6, kNone, 32},
    {"hoveredPatch", "hp", Kind::Int, -1, {}, "RWCHI", kNone, kNone, kNone},
    {"selectedPatches", "sps", Kind::IntArray, 0, {}, "RWHI", kNone, kNone, kNone},
    {"patchVertexCounts", "pvc", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchDriverVertexIndices", "pdvi", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchTriangleOffsets", "pto", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchTriangleCounts", "ptc", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchTriangleIndices", "pti", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchEdgeOffsets", "peo", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchEdgeCounts", "pec", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchEdgeIndices", "pei", Kind::IntArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchSourcePaths", "psrc", Kind::StringArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchSelectPaths", "psp", Kind::StringArray, 0, {}, "SRWHI", kNone, kNone, kNone},
    {"patchSourceMeshes", "psm", Kind::Message, 0, {}, "SWCHAI", kNone, kNone, kNone},
    {"patchControl", "pctl", Kind::Message, 0, {}, "SWCHAI", kNone, kNone, kNone},
    {"trackedShapeControls", "tsc", Kind::Message, 0, {}, "SWCHAI", kNone, kNone, kNone},
};

bool has(const char* flags, char flag)
{
    return std::string(flags).find(flag) != std::string::npos;
}

void expectFlags(const Row& row, const MFnAttribute& fn)
{
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fn.isStorable(), has(row.flags, 'S'));
    EXPECT_EQ(fn.isReadable(), has(row.flags, 'R'));
    EXPECT_EQ(fn.isWritable(), has(row.flags, 'W'));
    EXPECT_EQ(fn.isConnectable(), has(row.flags, 'C'));
    EXPECT_EQ(fn.isKeyable(), has(row.flags, 'K'));
    EXPECT_EQ(fn.isHidden(), has(row.flags, 'H'));
    EXPECT_EQ(fn.isArray(), has(row.flags, 'A'));
    EXPECT_EQ(fn.indexMatters(), has(row.flags, 'I'));
    EXPECT_EQ(fn.isUsedAsColor(), has(row.flags, 'U'));
}

void expectLimits(const Row& row, MObject& attr)
{
    SCOPED_TRACE(row.name);
    MFnNumericAttribute fn(attr);
    double limit = 0.0;
    EXPECT_EQ(fn.hasMin(), !std::isnan(row.min));
    if (!std::isnan(row.min)) {
        ASSERT_TRUE(fn.getMin(limit));
        EXPECT_DOUBLE_EQ(limit, row.min);
    }
    EXPECT_EQ(fn.hasMax(), !std::isnan(row.max));
    if (!std::isnan(row.max)) {
        ASSERT_TRUE(fn.getMax(limit));
        EXPECT_DOUBLE_EQ(limit, row.max);
    }
    EXPECT_FALSE(fn.hasSoftMin());
    EXPECT_EQ(fn.hasSoftMax(), !std::isnan(row.softMax));
    if (!std::isnan(row.softMax)) {
        ASSERT_TRUE(fn.getSoftMax(limit));
        EXPECT_DOUBLE_EQ(limit, row.softMax);
    }
}

// The attribute's type and the value a fresh node's plug holds.
void expectTypeAndDefault(const Row& row, MObject& node, MObject& attr)
{
    SCOPED_TRACE(row.name);
    MPlug plug(node, attr);
    switch (row.kind) {
    case Kind::Bool:
    case Kind::Int:
    case Kind::Float:
    case Kind::Double: {
        const MFnNumericData::Type expected[] = {MFnNumericData::kBoolean, MFnNumericData::kInt, MFnNumericData::kFloat,
                                                 MFnNumericData::kDouble};
        ASSERT_TRUE(attr.hasFn(MFn::kNumericAttribute));
        EXPECT_EQ(MFnNumericAttribute(attr).unitType(), expected[static_cast<int>(row.kind)]);
        EXPECT_NEAR(plug.asDouble(), row.value, 1e-6);
        break;
    }
    case Kind::Color: {
        ASSERT_TRUE(attr.hasFn(MFn::kNumericAttribute));
        EXPECT_EQ(MFnNumericAttribute(attr).unitType(), MFnNumericData::k3Float);
        ASSERT_EQ(plug.numChildren(), 3u);
        for (unsigned i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(plug.child(i).asFloat(), row.rgb[i]);
        }
        break;
    }
    case Kind::Mesh:
        ASSERT_TRUE(attr.hasFn(MFn::kTypedAttribute));
        EXPECT_EQ(MFnTypedAttribute(attr).attrType(), MFnData::kMesh);
        break;
    case Kind::IntArray: {
        ASSERT_TRUE(attr.hasFn(MFn::kTypedAttribute));
        EXPECT_EQ(MFnTypedAttribute(attr).attrType(), MFnData::kIntArray);
        MObject data = plug.asMObject();
        ASSERT_FALSE(data.isNull()) << "an empty array, not a missing one";
        EXPECT_EQ(MFnIntArrayData(data).length(), 0u);
        break;
    }
    case Kind::StringArray: {
        ASSERT_TRUE(attr.hasFn(MFn::kTypedAttribute));
        EXPECT_EQ(MFnTypedAttribute(attr).attrType(), MFnData::kStringArray);
        MObject data = plug.asMObject();
        ASSERT_FALSE(data.isNull()) << "an empty array, not a missing one";
        EXPECT_EQ(MFnStringArrayData(data).length(), 0u);
        break;
    }
    case Kind::Message:
        EXPECT_TRUE(attr.hasFn(MFn::kMessageAttribute));
        EXPECT_EQ(plug.numElements(), 0u);
        break;
    }
}

class OverlayAttributes : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        shapeName = melString("createNode pellixDataOverlay -name overlayShape");
        node = nodeByName("overlayShape");
        ASSERT_FALSE(node.isNull());
    }

    // The node must be let go before the plug-in unloads: its code goes with the module.
    void TearDown() override
    {
        node = MObject();
        PellixPluginTest::TearDown();
    }

    MString shapeName;
    MObject node;
};

} // namespace

TEST_F(OverlayAttributes, EveryAttributeMatchesTheTable)
{
    MFnDependencyNode fn(node);
    EXPECT_EQ(fn.typeName(), MString("pellixDataOverlay"));
    for (const Row& row : kTable) {
        MStatus status;
        MObject attr = fn.attribute(row.name, &status);
        ASSERT_TRUE(status) << row.name;
        MFnAttribute attrFn(attr);
        EXPECT_EQ(attrFn.name(), MString(row.name));
        EXPECT_EQ(attrFn.shortName(), MString(row.shortName));
        EXPECT_TRUE(fn.attribute(row.shortName) == attr) << row.shortName;
        expectFlags(row, attrFn);
        if (row.kind == Kind::Bool || row.kind == Kind::Int || row.kind == Kind::Float || row.kind == Kind::Double) {
            expectLimits(row, attr);
        }
        expectTypeAndDefault(row, node, attr);
    }
}

TEST_F(OverlayAttributes, AttributesAreAddedInTableOrder)
{
    std::set<std::string> ours;
    for (const Row& row : kTable) {
        ours.insert(row.name);
    }
    MFnDependencyNode fn(node);
    std::vector<std::string> order;
    for (unsigned i = 0; i < fn.attributeCount(); ++i) {
        MFnAttribute attr(fn.attribute(i));
        const std::string name = attr.name().asChar();
        if (ours.count(name) && attr.parent().isNull()) {
            order.push_back(name);
        }
    }
    ASSERT_EQ(order.size(), std::size(kTable));
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i], kTable[i].name) << "position " << i;
    }
}

TEST_F(OverlayAttributes, SetValuesAreClampedToHardLimitsOnly)
{
    const std::string n = shapeName.asChar();
    ASSERT_TRUE(mel("setAttr " + n + ".transparency 1.5"));
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr " + n + ".transparency")), 1.0f);
    ASSERT_TRUE(mel("setAttr " + n + ".hoverTransparency -0.5"));
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr " + n + ".hoverTransparency")), 0.0f);
    ASSERT_TRUE(mel("setAttr " + n + ".wireframeWidth 0.01"));
    EXPECT_FLOAT_EQ(static_cast<float>(melDouble("getAttr " + n + ".wireframeWidth")), 0.1f);
    ASSERT_TRUE(mel("setAttr " + n + ".readoutTextSize 2"));
    EXPECT_EQ(melInt("getAttr " + n + ".readoutTextSize"), 6);
    // A soft maximum bounds only the slider: larger values are kept.
    ASSERT_TRUE(mel("setAttr " + n + ".readoutTextSize 48"));
    EXPECT_EQ(melInt("getAttr " + n + ".readoutTextSize"), 48);
    ASSERT_TRUE(mel("setAttr " + n + ".bindTolerance 0"));
    EXPECT_DOUBLE_EQ(melDouble("getAttr " + n + ".bindTolerance"), 1e-12);
}

namespace {

void recordDirtyPlug(MObject&, MPlug& plug, void* clientData)
{
    MFnAttribute attr(plug.attribute());
    static_cast<std::set<std::string>*>(clientData)->insert(attr.name().asChar());
}

} // namespace

TEST_F(OverlayAttributes, OnlyTheDriverMeshDirtiesTheComputedOutputs)
{
    std::set<std::string> dirtied;
    MStatus status;
    const MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(node, recordDirtyPlug, &dirtied, &status);
    ASSERT_TRUE(status);

    MFnMeshData meshData;
    MObject mesh = meshData.create(&status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(MPlug(node, MFnDependencyNode(node).attribute("inMesh")).setMObject(mesh));
    EXPECT_EQ(dirtied.count("evaluatedMesh"), 1u);
    EXPECT_EQ(dirtied.count("geometryChanging"), 1u);

    // Display settings and patch data are not wired to the outputs.
    dirtied.clear();
    ASSERT_TRUE(mel(std::string("setAttr ") + shapeName.asChar() + ".enable 0"));
    ASSERT_TRUE(mel(std::string("setAttr ") + shapeName.asChar() + ".patchVertexCounts -type Int32Array 1 3"));
    EXPECT_EQ(dirtied.count("evaluatedMesh"), 0u);
    EXPECT_EQ(dirtied.count("geometryChanging"), 0u);
    EXPECT_EQ(dirtied.count("enable"), 1u);

    EXPECT_TRUE(MMessage::removeCallback(id));
}
