// Pulling elements of computed output arrays: children of a numeric-compound element pulled
// before the element was ever computed, elements whose compute failed, and elements the
// compute leaves out of the array it rebuilds.

#include "support/HostFixture.h"

#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDataBlock.h>
#include <maya/MDGModifier.h>
#include <maya/MDataHandle.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MPxNode.h>

namespace {

// Writes element i of "outPoint" as (i, 10 i, 100 i) · scale for `count` elements; fails
// for a negative count.
class PointArrayNode : public MPxNode
{
public:
    static MObject count, scale, outPoint, outX, outY, outZ;
    int computes = 0;

    static void* creator() { return new PointArrayNode; }

    static MStatus initialize()
    {
        MFnNumericAttribute num;
        count = num.create("count", "cnt", MFnNumericData::kInt, 2);
        scale = num.create("scale", "sc", MFnNumericData::kDouble, 1.0);
        outX = num.create("outX", "ox", MFnNumericData::kDouble, 0.0);
        outY = num.create("outY", "oy", MFnNumericData::kDouble, 0.0);
        outZ = num.create("outZ", "oz", MFnNumericData::kDouble, 0.0);
        outPoint = num.create("outPoint", "op", outX, outY, outZ);
        num.setArray(true);
        num.setUsesArrayDataBuilder(true);
        num.setWritable(false);
        num.setStorable(false);
        for (const MObject* a : {&count, &scale, &outPoint})
            if (!addAttribute(*a))
                return MS::kFailure;
        attributeAffects(count, outPoint);
        attributeAffects(scale, outPoint);
        return MS::kSuccess;
    }

    MStatus compute(const MPlug& plug, MDataBlock& block) override
    {
        const bool wanted = plug == outPoint || (plug.isChild() && plug.parent() == outPoint);
        if (!wanted)
            return MS::kUnknownParameter;
        ++computes;
        const int n = block.inputValue(count).asInt();
        if (n < 0)
            return MS::kFailure;
        const double s = block.inputValue(scale).asDouble();
        MArrayDataHandle out = block.outputArrayValue(outPoint);
        MArrayDataBuilder builder(&block, outPoint, static_cast<unsigned>(n));
        for (int i = 0; i < n; ++i)
            builder.addElement(static_cast<unsigned>(i)).set3Double(s * i, s * 10.0 * i, s * 100.0 * i);
        out.set(builder);
        out.setAllClean();
        block.setClean(outPoint);
        return MS::kSuccess;
    }
};

MObject PointArrayNode::count, PointArrayNode::scale, PointArrayNode::outPoint, PointArrayNode::outX,
    PointArrayNode::outY, PointArrayNode::outZ;

class ArrayOutputEvaluation : public HostFixture
{
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        host::NodeTypeInfo info;
        info.name = "caoTestPoints";
        info.id = MTypeId(0x0007f2a1);
        info.creator = &PointArrayNode::creator;
        info.initialize = &PointArrayNode::initialize;
        info.pluginName = "compoundArrayTests";
        registerOnce(info);
    }
};

TEST_F(ArrayOutputEvaluation, ChildOfANewElementIsComputedWhenPulled)
{
    MObject n = create("caoTestPoints");
    MPlug out = plug(n, "outPoint");
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(1).child(1).asDouble(), 10.0);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(1).child(2).asDouble(), 100.0);
    EXPECT_EQ(static_cast<PointArrayNode*>(MFnDependencyNode(n).userNode())->computes, 1);

    // A changed input dirties the children again.
    plug(n, "scale").setValue(2.0);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(1).child(0).asDouble(), 2.0);
    EXPECT_EQ(static_cast<PointArrayNode*>(MFnDependencyNode(n).userNode())->computes, 2);
}

TEST_F(ArrayOutputEvaluation, ElementAddedToAnEvaluatedArrayIsComputedWhenPulled)
{
    MObject n = create("caoTestPoints");
    MPlug out = plug(n, "outPoint");
    EXPECT_EQ(out.evaluateNumElements(), 2u);
    plug(n, "count").setValue(4);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(3).child(2).asDouble(), 300.0);
}

TEST_F(ArrayOutputEvaluation, FailedComputeIsTriedAgainOnEveryPull)
{
    MObject n = create("caoTestPoints");
    MPlug out = plug(n, "outPoint");
    auto* node = static_cast<PointArrayNode*>(MFnDependencyNode(n).userNode());
    plug(n, "count").setValue(-1);
    out.elementByLogicalIndex(0).child(0).asDouble();
    out.elementByLogicalIndex(0).child(0).asDouble();
    EXPECT_EQ(node->computes, 2);

    // Once the input is good again, the element is computed and stays clean.
    plug(n, "count").setValue(2);
    plug(n, "scale").setValue(3.0);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(1).child(0).asDouble(), 3.0);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(1).child(1).asDouble(), 30.0);
    EXPECT_EQ(node->computes, 3);
}

TEST_F(ArrayOutputEvaluation, ElementLeftOutOfTheRebuiltArrayReadsAsDefault)
{
    MObject n = create("caoTestPoints");
    MPlug out = plug(n, "outPoint");
    auto* node = static_cast<PointArrayNode*>(MFnDependencyNode(n).userNode());
    // The compute rebuilds the array with elements 0 and 1 only, while [5].outY is pulled.
    EXPECT_EQ(out.elementByLogicalIndex(5).child(1).asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(1).child(1).asDouble(), 10.0);
    EXPECT_EQ(node->computes, 1);

    // The same when the whole element is pulled, after the array shrank under it.
    plug(n, "count").setValue(4);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(3).child(2).asDouble(), 300.0);
    plug(n, "count").setValue(1);
    EXPECT_EQ(out.elementByLogicalIndex(3).child(2).asDouble(), 0.0);
    EXPECT_EQ(out.elementByLogicalIndex(3).child(0).asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(0).child(0).asDouble(), 0.0);
    EXPECT_EQ(node->computes, 3);
}

TEST_F(ArrayOutputEvaluation, ShrunkArrayKeepsElementsWhoseChildrenAreConnected)
{
    MObject n = create("caoTestPoints");
    MObject reader = create("caoTestPoints");
    MPlug out = plug(n, "outPoint");
    plug(n, "count").setValue(4);
    MDGModifier connect;
    ASSERT_TRUE(connect.connect(out.elementByLogicalIndex(3).child(0), plug(reader, "scale")));
    ASSERT_TRUE(connect.doIt());
    EXPECT_DOUBLE_EQ(plug(reader, "scale").asDouble(), 3.0);

    // The connected element stays, with the last value it was given, and still drives.
    plug(n, "count").setValue(1);
    EXPECT_DOUBLE_EQ(plug(reader, "scale").asDouble(), 3.0);
    EXPECT_EQ(out.evaluateNumElements(), 2u);
    EXPECT_DOUBLE_EQ(plug(reader, "outPoint").elementByLogicalIndex(1).child(0).asDouble(), 3.0);

    // And the connection can be broken cleanly afterwards.
    MDGModifier disconnect;
    ASSERT_TRUE(disconnect.disconnect(out.elementByLogicalIndex(3).child(0), plug(reader, "scale")));
    ASSERT_TRUE(disconnect.doIt());
    plug(n, "count").setValue(0);
    EXPECT_EQ(out.evaluateNumElements(), 0u);
    EXPECT_DOUBLE_EQ(plug(reader, "scale").asDouble(), 3.0);
}

} // namespace
