// The dependency-graph core: dirty propagation, compute on pull, connections,
// modifiers and undo, naming, attributes, arrays, handles and dynamic attributes.

#include "support/HostFixture.h"

#include <maya/MArrayDataBuilder.h>
#include <maya/MArrayDataHandle.h>
#include <maya/MDGModifier.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MEventMessage.h>
#include <maya/MFnAttribute.h>
#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnIntArrayData.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnStringData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItDependencyNodes.h>
#include <maya/MNodeMessage.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlugArray.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kPluginName = "dgTests";

// Adds two inputs. Records what the graph tells it, so tests can check that
// the graph calls it the way Maya does.
class AddNode : public MPxNode
{
public:
    static MObject inputA, inputB, sum, bonus, guarded;
    static const MTypeId id;

    std::set<std::string> dirtied;
    std::vector<std::string> connections;
    int computes = 0;
    bool constructedWithName = false;

    static void* creator() { return new AddNode; }

    static MStatus initialize()
    {
        MFnNumericAttribute num;
        inputA = num.create("inputA", "ia", MFnNumericData::kDouble, 0.0);
        num.setKeyable(true);
        inputB = num.create("inputB", "ib", MFnNumericData::kDouble, 0.0);
        sum = num.create("sum", "sum", MFnNumericData::kDouble, 0.0);
        num.setWritable(false);
        num.setStorable(false);
        bonus = num.create("bonus", "bo", MFnNumericData::kDouble, 0.0);
        guarded = num.create("guarded", "gd", MFnNumericData::kDouble, 0.0);
        for (const MObject* a : {&inputA, &inputB, &sum, &bonus, &guarded})
            if (!addAttribute(*a))
                return MS::kFailure;
        attributeAffects(inputA, sum);
        attributeAffects(inputB, sum);
        return MS::kSuccess;
    }

    void postConstructor() override { constructedWithName = name().length() > 0 && !thisMObject().isNull(); }

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray& affected) override
    {
        dirtied.insert(plug.partialName(false, false, false, false, false, true).asChar());
        if (plug == inputA)
            affected.append(MPlug(thisMObject(), bonus));
        return MS::kSuccess;
    }

    MStatus compute(const MPlug& plug, MDataBlock& block) override
    {
        if (plug == bonus)
            return MS::kSuccess;
        if (plug != sum)
            return MS::kUnknownParameter;
        ++computes;
        double a = block.inputValue(inputA).asDouble();
        double b = block.inputValue(inputB).asDouble();
        block.outputValue(sum).set(a + b);
        block.setClean(plug);
        return MS::kSuccess;
    }

    MStatus legalConnection(const MPlug& plug, const MPlug&, bool asSrc, bool& isLegal) const override
    {
        if (plug == guarded && !asSrc) {
            isLegal = false;
            return MS::kSuccess;
        }
        return MS::kUnknownParameter;
    }

    MStatus connectionMade(const MPlug& plug, const MPlug& other, bool asSrc) override
    {
        connections.push_back(std::string("made ") + (asSrc ? "src " : "dst ") + plug.name().asChar() + " " +
                              other.name().asChar());
        return MPxNode::connectionMade(plug, other, asSrc);
    }

    MStatus connectionBroken(const MPlug& plug, const MPlug& other, bool asSrc) override
    {
        connections.push_back(std::string("broken ") + (asSrc ? "src " : "dst ") + plug.name().asChar() + " " +
                              other.name().asChar());
        return MPxNode::connectionBroken(plug, other, asSrc);
    }
};

MObject AddNode::inputA, AddNode::inputB, AddNode::sum, AddNode::bonus, AddNode::guarded;
const MTypeId AddNode::id(0x0007f201);

// Builds a sparse output array (elements 0, 2, 4 ... holding 0, 10, 20 ...)
// and sums a sparse input array.
class ArrayNode : public MPxNode
{
public:
    static MObject count, outValues, inValues, total;
    int computes = 0;

    static void* creator() { return new ArrayNode; }

    static MStatus initialize()
    {
        MFnNumericAttribute num;
        count = num.create("count", "cnt", MFnNumericData::kInt, 0);
        outValues = num.create("outValues", "ov", MFnNumericData::kDouble, 0.0);
        num.setArray(true);
        num.setUsesArrayDataBuilder(true);
        num.setWritable(false);
        num.setStorable(false);
        inValues = num.create("inValues", "iv", MFnNumericData::kDouble, 0.0);
        num.setArray(true);
        total = num.create("total", "tot", MFnNumericData::kDouble, 0.0);
        num.setWritable(false);
        for (const MObject* a : {&count, &outValues, &inValues, &total})
            if (!addAttribute(*a))
                return MS::kFailure;
        attributeAffects(count, outValues);
        attributeAffects(inValues, total);
        return MS::kSuccess;
    }

    MStatus compute(const MPlug& plug, MDataBlock& block) override
    {
        if (plug == outValues) {
            ++computes;
            int n = block.inputValue(count).asInt();
            MArrayDataHandle out = block.outputArrayValue(outValues);
            MArrayDataBuilder builder(&block, outValues, static_cast<unsigned>(n));
            for (int i = 0; i < n; ++i)
                builder.addElement(static_cast<unsigned>(2 * i)).set(10.0 * i);
            out.set(builder);
            out.setAllClean();
            return MS::kSuccess;
        }
        if (plug == total) {
            MArrayDataHandle in = block.inputArrayValue(inValues);
            double result = 0.0;
            for (unsigned i = 0; i < in.elementCount(); ++i) {
                in.jumpToArrayElement(i);
                result += in.inputValue().asDouble();
            }
            block.outputValue(total).set(result);
            block.setClean(plug);
            return MS::kSuccess;
        }
        return MS::kUnknownParameter;
    }
};

MObject ArrayNode::count, ArrayNode::outValues, ArrayNode::inValues, ArrayNode::total;

// Rows of cells (a compound array) summed into a total; records every plug it hears of.
class RowsNode : public MPxNode
{
public:
    static MObject cell, rows, total;
    std::vector<std::string> dirtied;

    static void* creator() { return new RowsNode; }

    static MStatus initialize()
    {
        MFnNumericAttribute num;
        cell = num.create("cell", "ce", MFnNumericData::kDouble, 0.0);
        MFnCompoundAttribute compound;
        rows = compound.create("rows", "rw");
        compound.addChild(cell);
        compound.setArray(true);
        total = num.create("total", "tot", MFnNumericData::kDouble, 0.0);
        num.setWritable(false);
        for (const MObject* a : {&rows, &total})
            if (!addAttribute(*a))
                return MS::kFailure;
        attributeAffects(rows, total);
        return MS::kSuccess;
    }

    MStatus setDependentsDirty(const MPlug& plug, MPlugArray&) override
    {
        dirtied.push_back(plug.partialName(false, true, false, false, true, true).asChar());
        return MS::kSuccess;
    }

    MStatus compute(const MPlug& plug, MDataBlock& block) override
    {
        if (plug != total)
            return MS::kUnknownParameter;
        MArrayDataHandle in = block.inputArrayValue(rows);
        double sum = 0.0;
        for (unsigned i = 0; i < in.elementCount(); ++i) {
            in.jumpToArrayElement(i);
            sum += in.inputValue().child(cell).asDouble();
        }
        block.outputValue(total).set(sum);
        block.setClean(plug);
        return MS::kSuccess;
    }
};

MObject RowsNode::cell, RowsNode::rows, RowsNode::total;

// Attributes with limits, compounds, enums and typed data.
class LimitsNode : public MPxNode
{
public:
    static MObject ratio, tint, spot, mode, label, ids;

    static void* creator() { return new LimitsNode; }

    static MStatus initialize()
    {
        MFnNumericAttribute num;
        ratio = num.create("ratio", "ra", MFnNumericData::kDouble, 0.25);
        num.setMin(0.0);
        num.setMax(1.0);
        num.setSoftMax(0.5);
        tint = num.createColor("tint", "ti");
        num.setDefault(0.5f, 0.25f, 1.0f);
        spot = num.createPoint("spot", "sp");
        MFnEnumAttribute en;
        mode = en.create("mode", "md", 1);
        en.addField("off", 0);
        en.addField("on", 1);
        MFnTypedAttribute typed;
        label = typed.create("label", "lb", MFnData::kString, MFnStringData().create("none"));
        ids = typed.create("ids", "ids", MFnData::kIntArray);
        for (const MObject* a : {&ratio, &tint, &spot, &mode, &label, &ids})
            if (!addAttribute(*a))
                return MS::kFailure;
        return MS::kSuccess;
    }
};

MObject LimitsNode::ratio, LimitsNode::tint, LimitsNode::spot, LimitsNode::mode, LimitsNode::label, LimitsNode::ids;

// Connections made the way commands make them: through a modifier.
MStatus connectPlugs(const MPlug& source, const MPlug& destination)
{
    MDGModifier modifier;
    MStatus status = modifier.connect(source, destination);
    return status ? modifier.doIt() : status;
}

MStatus disconnectPlugs(const MPlug& source, const MPlug& destination)
{
    MDGModifier modifier;
    MStatus status = modifier.disconnect(source, destination);
    return status ? modifier.doIt() : status;
}

host::NodeTypeInfo typeInfo(const char* name, unsigned id, host::NodeCreatorFunction creator,
                            host::NodeInitializeFunction init)
{
    return testNodeType(name, id, creator, init, MPxNode::kDependNode, kPluginName);
}

class DependencyGraph : public HostFixture
{
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        registerOnce(typeInfo("dgTestAdd", 0x0007f201, &AddNode::creator, &AddNode::initialize));
        registerOnce(typeInfo("dgTestArray", 0x0007f202, &ArrayNode::creator, &ArrayNode::initialize));
        registerOnce(typeInfo("dgTestLimits", 0x0007f203, &LimitsNode::creator, &LimitsNode::initialize));
        registerOnce(typeInfo("dgTestRows", 0x0007f204, &RowsNode::creator, &RowsNode::initialize));
    }

    template <class T>
    static T* user(const MObject& node)
    {
        return static_cast<T*>(MFnDependencyNode(node).userNode());
    }

    // a.sum -> b.inputA
    void makeChain(MObject& a, MObject& b)
    {
        a = create("dgTestAdd", "a");
        b = create("dgTestAdd", "b");
        ASSERT_TRUE(connectPlugs(plug(a, "sum"), plug(b, "inputA")));
        for (const MObject* n : {&a, &b})  // settle: everything clean
            for (const char* attr : {"sum", "bonus"})
                plug(*n, attr).asDouble();
        user<AddNode>(a)->dirtied.clear();
        user<AddNode>(b)->dirtied.clear();
    }
};

using Names = std::set<std::string>;

void recordDirtyPlug(MObject&, MPlug& plug, void* clientData)
{
    static_cast<std::vector<std::string>*>(clientData)->push_back(plug.partialName().asChar());
}

void countCall(void* clientData)
{
    ++*static_cast<int*>(clientData);
}

// ---------------------------------------------------------------------------

TEST_F(DependencyGraph, SettingAnInputCallsSetDependentsDirtyOnEveryNodeReached)
{
    MObject a, b;
    makeChain(a, b);
    ASSERT_TRUE(plug(a, "inputA").setValue(2.0));
    EXPECT_EQ(user<AddNode>(a)->dirtied, (Names{"inputA", "bonus", "sum"}));
    EXPECT_EQ(user<AddNode>(b)->dirtied, (Names{"inputA", "bonus", "sum"}));

    // Already-dirty plugs stop the propagation: nothing downstream hears of it again.
    user<AddNode>(a)->dirtied.clear();
    user<AddNode>(b)->dirtied.clear();
    ASSERT_TRUE(plug(a, "inputA").setValue(3.0));
    EXPECT_EQ(user<AddNode>(a)->dirtied, (Names{"inputA"}));
    EXPECT_TRUE(user<AddNode>(b)->dirtied.empty());
}

TEST_F(DependencyGraph, UnrelatedInputDirtiesNothingDownstreamAndCallbacksHearEachPlugOnce)
{
    MObject a, b;
    makeChain(a, b);
    ASSERT_TRUE(plug(a, "guarded").setValue(5.0));
    EXPECT_EQ(user<AddNode>(a)->dirtied, (Names{"guarded"}));
    EXPECT_TRUE(user<AddNode>(b)->dirtied.empty());
    EXPECT_DOUBLE_EQ(plug(b, "sum").asDouble(), 0.0);
    EXPECT_EQ(user<AddNode>(b)->computes, 1);  // still clean from makeChain

    std::vector<std::string> seen;
    MStatus status;
    MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(b, recordDirtyPlug, &seen, &status);
    ASSERT_TRUE(status);
    plug(a, "inputB").setValue(1.0);
    EXPECT_EQ(Names(seen.begin(), seen.end()), (Names{"ia", "bo", "sum"}));
    EXPECT_EQ(seen.size(), 3u);

    ASSERT_TRUE(MMessage::removeCallback(id));
    seen.clear();
    plug(b, "sum").asDouble();
    plug(a, "inputB").setValue(2.0);
    EXPECT_TRUE(seen.empty());
    EXPECT_FALSE(MMessage::removeCallback(id));
}

TEST_F(DependencyGraph, SettingAChildOfAnElementDirtiesEveryAncestor)
{
    // a.rows -> b.rows as a whole array: a cell set on a reaches the element, the array, the
    // array's destination and what the array affects.
    MObject a = create("dgTestRows", "a");
    MObject b = create("dgTestRows", "b");
    MPlug cell = plug(a, "rows").elementByLogicalIndex(0).child(0);
    ASSERT_TRUE(cell.setValue(0.0));
    ASSERT_TRUE(connectPlugs(plug(a, "rows"), plug(b, "rows")));
    plug(a, "total").asDouble();
    plug(b, "total").asDouble();
    user<RowsNode>(a)->dirtied.clear();
    user<RowsNode>(b)->dirtied.clear();
    std::vector<std::string> callbacks;
    MStatus status;
    MCallbackId id = MNodeMessage::addNodeDirtyPlugCallback(a, recordDirtyPlug, &callbacks, &status);
    ASSERT_TRUE(status);

    ASSERT_TRUE(cell.setValue(2.0));
    const Names heardOnA(user<RowsNode>(a)->dirtied.begin(), user<RowsNode>(a)->dirtied.end());
    EXPECT_EQ(heardOnA, (Names{"rows[0].cell", "rows[0]", "rows", "total"}));
    const Names calledBack(callbacks.begin(), callbacks.end());
    EXPECT_TRUE(calledBack.count("rw[0]") && calledBack.count("rw")) << "callbacks: " << callbacks.size();
    const Names heardOnB(user<RowsNode>(b)->dirtied.begin(), user<RowsNode>(b)->dirtied.end());
    EXPECT_TRUE(heardOnB.count("rows")) << "the whole-array destination was not dirtied";
    EXPECT_TRUE(heardOnB.count("total"));
    EXPECT_DOUBLE_EQ(plug(b, "total").asDouble(), 2.0);
    EXPECT_TRUE(MMessage::removeCallback(id));
}

TEST_F(DependencyGraph, ComputeOnPullReadsUpstreamAndIsNotRepeatedWhileClean)
{
    MObject a, b;
    makeChain(a, b);
    plug(a, "inputA").setValue(2.0);
    plug(a, "inputB").setValue(3.0);
    plug(b, "inputB").setValue(10.0);
    int before = user<AddNode>(a)->computes;
    EXPECT_DOUBLE_EQ(plug(b, "sum").asDouble(), 15.0);
    EXPECT_EQ(user<AddNode>(a)->computes, before + 1);
    EXPECT_DOUBLE_EQ(plug(b, "inputA").asDouble(), 5.0);  // the source value flowed in

    int bComputes = user<AddNode>(b)->computes;
    EXPECT_DOUBLE_EQ(plug(b, "sum").asDouble(), 15.0);
    EXPECT_EQ(user<AddNode>(b)->computes, bComputes);
    EXPECT_EQ(user<AddNode>(a)->computes, before + 1);

    // A disconnected destination keeps the last value it was given.
    ASSERT_TRUE(disconnectPlugs(plug(a, "sum"), plug(b, "inputA")));
    EXPECT_DOUBLE_EQ(plug(b, "inputA").asDouble(), 5.0);
    plug(a, "inputA").setValue(1.0);
    EXPECT_DOUBLE_EQ(plug(b, "sum").asDouble(), 15.0);
}

TEST_F(DependencyGraph, ConnectionCallbacksReachBothEndsAndRulesAreEnforced)
{
    MObject a = create("dgTestAdd", "src");
    MObject b = create("dgTestAdd", "dst");
    ASSERT_TRUE(connectPlugs(plug(a, "sum"), plug(b, "inputB")));
    ASSERT_TRUE(disconnectPlugs(plug(a, "sum"), plug(b, "inputB")));
    EXPECT_EQ(user<AddNode>(a)->connections,
              (std::vector<std::string>{"made src src.sum dst.inputB", "broken src src.sum dst.inputB"}));
    EXPECT_EQ(user<AddNode>(b)->connections,
              (std::vector<std::string>{"made dst dst.inputB src.sum", "broken dst dst.inputB src.sum"}));

    MObject c = create("dgTestAdd");
    // The node's legalConnection refuses this destination.
    EXPECT_FALSE(connectPlugs(plug(a, "sum"), plug(b, "guarded")));
    EXPECT_FALSE(plug(b, "guarded").isConnected());
    // Outputs are not writable destinations.
    EXPECT_FALSE(connectPlugs(plug(a, "inputA"), plug(b, "sum")));
    // A destination takes one source, and cannot be set while connected.
    ASSERT_TRUE(connectPlugs(plug(a, "sum"), plug(b, "inputA")));
    EXPECT_FALSE(connectPlugs(plug(c, "sum"), plug(b, "inputA")));
    EXPECT_FALSE(plug(b, "inputA").setValue(4.0));
    EXPECT_EQ(plug(b, "inputA").source(), plug(a, "sum"));
    // A numeric plug cannot feed a string.
    MObject l = create("dgTestLimits");
    EXPECT_FALSE(connectPlugs(plug(a, "sum"), plug(l, "label")));
}

TEST_F(DependencyGraph, ClearingTheSceneComputesNothing)
{
    // The newer node feeds the older one, so clearing (newest first) breaks the
    // connection while the destination still exists; a disconnect would pull it.
    MObject destination = create("dgTestAdd", "destination");
    MObject source = create("dgTestAdd", "source");
    ASSERT_TRUE(connectPlugs(plug(source, "sum"), plug(destination, "inputA")));
    plug(destination, "sum").asDouble();
    plug(source, "inputA").setValue(7.0);
    AddNode* sourceNode = user<AddNode>(source);
    const int before = sourceNode->computes;
    host::deleteAllNodes();
    EXPECT_EQ(sourceNode->computes, before);  // `source` keeps the removed node alive
}

TEST_F(DependencyGraph, ModifierUndoesInReverseOrderAndRedoes)
{
    MObject src = create("dgTestAdd", "src");
    MDGModifier mod;
    MObject made = mod.createNode("dgTestAdd");
    ASSERT_FALSE(made.isNull());
    ASSERT_TRUE(mod.renameNode(made, "target"));
    ASSERT_TRUE(mod.connect(plug(src, "sum"), MPlug(made, AddNode::inputA)));
    ASSERT_TRUE(mod.newPlugValueDouble(MPlug(made, AddNode::inputB), 4.0));
    EXPECT_FALSE(MObjectHandle(made).isValid());  // joins the graph only at doIt

    ASSERT_TRUE(mod.doIt());
    plug(src, "inputA").setValue(1.0);
    EXPECT_EQ(nameOf(made), MString("target"));
    EXPECT_DOUBLE_EQ(MPlug(made, AddNode::sum).asDouble(), 5.0);

    ASSERT_TRUE(mod.undoIt());
    EXPECT_FALSE(MObjectHandle(made).isValid());
    EXPECT_FALSE(plug(src, "sum").isConnected());
    // Undone in reverse: the value came back before the node was renamed back.
    EXPECT_DOUBLE_EQ(MPlug(made, AddNode::inputB).asDouble(), 0.0);
    EXPECT_EQ(nameOf(made), MString("dgTestAdd1"));

    ASSERT_TRUE(mod.doIt());
    EXPECT_TRUE(MObjectHandle(made).isValid());
    EXPECT_EQ(nameOf(made), MString("target"));
    EXPECT_DOUBLE_EQ(MPlug(made, AddNode::sum).asDouble(), 5.0);

    // A later doIt runs only what was queued since the last one.
    MObject n = create("dgTestAdd");
    MDGModifier again;
    again.newPlugValueDouble(plug(n, "inputA"), 1.0);
    ASSERT_TRUE(again.doIt());
    plug(n, "inputA").setValue(9.0);
    again.newPlugValueDouble(plug(n, "inputB"), 2.0);
    ASSERT_TRUE(again.doIt());
    EXPECT_DOUBLE_EQ(plug(n, "inputA").asDouble(), 9.0);
    EXPECT_DOUBLE_EQ(plug(n, "sum").asDouble(), 11.0);
}

TEST_F(DependencyGraph, DeletedNodeComesBackAndHandlesTrackItsDestruction)
{
    MObject a, b;
    makeChain(a, b);
    plug(b, "inputB").setValue(6.0);
    MDGModifier mod;
    ASSERT_TRUE(mod.deleteNode(b));
    ASSERT_TRUE(mod.doIt());
    EXPECT_FALSE(plug(a, "sum").isConnected());
    MSelectionList list;
    EXPECT_EQ(list.add("b"), MS::kInvalidParameter);

    ASSERT_TRUE(mod.undoIt());
    EXPECT_TRUE(MObjectHandle(b).isValid());
    EXPECT_EQ(plug(b, "inputA").source(), plug(a, "sum"));
    plug(a, "inputA").setValue(1.0);
    EXPECT_DOUBLE_EQ(plug(b, "sum").asDouble(), 7.0);

    // A handle tracks deletion, undo and the final destruction.
    MObjectHandle handle;
    int destroyed = 0;
    auto deleter = std::make_unique<MDGModifier>();
    {
        MObject n = create("dgTestAdd");
        handle = n;
        MNodeMessage::addNodeDestroyedCallback(n, countCall, &destroyed);
        deleter->deleteNode(n);
    }
    ASSERT_TRUE(deleter->doIt());
    EXPECT_FALSE(handle.isValid());
    EXPECT_TRUE(handle.isAlive());  // the modifier can still bring it back
    ASSERT_TRUE(deleter->undoIt());
    EXPECT_TRUE(handle.isValid());
    ASSERT_TRUE(deleter->doIt());
    EXPECT_EQ(destroyed, 0);
    deleter.reset();
    EXPECT_FALSE(handle.isAlive());
    EXPECT_FALSE(handle.isValid());
    EXPECT_TRUE(handle.object().isNull());
    EXPECT_EQ(destroyed, 1);
}

TEST_F(DependencyGraph, NamesAreUniqueAndHashMarksAreNumbered)
{
    EXPECT_EQ(nameOf(create("dgTestAdd")), MString("dgTestAdd1"));
    EXPECT_EQ(nameOf(create("dgTestAdd")), MString("dgTestAdd2"));
    EXPECT_EQ(nameOf(create("dgTestAdd", "ctl#")), MString("ctl1"));
    EXPECT_EQ(nameOf(create("dgTestAdd", "ctl#")), MString("ctl2"));
    EXPECT_EQ(nameOf(create("dgTestAdd", "ctl1")), MString("ctl3"));
    MObject plain = create("dgTestAdd", "plain");
    EXPECT_EQ(nameOf(create("dgTestAdd", "plain")), MString("plain1"));

    MFnDependencyNode fn(plain);
    MStatus status;
    EXPECT_EQ(fn.setName("ctl2", false, &status), MString("ctl4"));
    EXPECT_TRUE(status);
    fn.setName("bad name", false, &status);
    EXPECT_EQ(status, MS::kInvalidParameter);
    EXPECT_EQ(fn.name(), MString("ctl4"));
    MStatus createStatus;
    host::createNode("dgTestAdd", "9lives", &createStatus);
    EXPECT_FALSE(createStatus);
    // The post-constructor runs once the node has its object and name.
    EXPECT_TRUE(user<AddNode>(plain)->constructedWithName);
}

TEST_F(DependencyGraph, NewAttributesHaveMayaDefaultsAndHardLimitsClamp)
{
    MFnNumericAttribute fn;
    fn.create("fresh", "fr", MFnNumericData::kFloat, 1.5);
    const bool flags[] = {fn.isReadable(), fn.isWritable(), fn.isConnectable(), fn.isStorable(),
                          fn.isCached(),   fn.indexMatters(), fn.isArray(),     fn.isKeyable(),
                          fn.isHidden(),   fn.isUsedAsColor(), fn.usesArrayDataBuilder()};
    EXPECT_EQ(std::vector<bool>(std::begin(flags), std::end(flags)),
              (std::vector<bool>{true, true, true, true, true, true, false, false, false, false, false}));
    float value = 0;
    ASSERT_TRUE(fn.getDefault(value));
    EXPECT_FLOAT_EQ(value, 1.5f);

    // Hard limits clamp values, soft limits do not.
    MObject n = create("dgTestLimits");
    MPlug ratio = plug(n, "ratio");
    EXPECT_DOUBLE_EQ(ratio.asDouble(), 0.25);
    ASSERT_TRUE(ratio.setValue(0.75));  // above the soft maximum: kept
    EXPECT_DOUBLE_EQ(ratio.asDouble(), 0.75);
    ASSERT_TRUE(ratio.setValue(3.0));
    EXPECT_DOUBLE_EQ(ratio.asDouble(), 1.0);
    ASSERT_TRUE(ratio.setValue(-2.0));
    EXPECT_DOUBLE_EQ(ratio.asDouble(), 0.0);
    double softMax = 0;
    ASSERT_TRUE(MFnNumericAttribute(LimitsNode::ratio).getSoftMax(softMax));
    EXPECT_DOUBLE_EQ(softMax, 0.5);
}

TEST_F(DependencyGraph, CompoundsShareTheirChildValuesAndTypedValuesAreCopied)
{
    MObject n = create("dgTestLimits");
    MFnNumericAttribute tint(LimitsNode::tint);
    EXPECT_TRUE(tint.isUsedAsColor());
    EXPECT_EQ(tint.unitType(), MFnNumericData::k3Float);
    MPlug tintPlug = plug(n, "tint");
    ASSERT_EQ(tintPlug.numChildren(), 3u);
    EXPECT_EQ(MFnAttribute(tintPlug.child(1).attribute()).name(), MString("tintG"));
    EXPECT_FLOAT_EQ(plug(n, "tintB").asFloat(), 1.0f);

    ASSERT_TRUE(plug(n, "tintR").setValue(0.125f));
    MFnNumericData data(tintPlug.asMObject());
    float r = 0, g = 0, b = 0;
    ASSERT_TRUE(data.getData(r, g, b));
    EXPECT_FLOAT_EQ(r, 0.125f);
    EXPECT_FLOAT_EQ(g, 0.25f);

    MFnNumericData point;
    MObject value = point.create(MFnNumericData::k3Float);
    point.setData(1.0f, 2.0f, 3.0f);
    ASSERT_TRUE(plug(n, "spot").setValue(value));
    EXPECT_FLOAT_EQ(plug(n, "spotY").asFloat(), 2.0f);
    EXPECT_EQ(tintPlug.child(0).parent(), tintPlug);

    // Typed values are copied in and out.
    EXPECT_EQ(plug(n, "label").asString(), MString("none"));
    ASSERT_TRUE(plug(n, "label").setValue(MString("hello")));
    EXPECT_EQ(plug(n, "label").asString(), MString("hello"));
    EXPECT_FALSE(plug(n, "ratio").setValue(MString("text")));

    MIntArray values;
    values.append(3);
    values.append(1);
    MFnIntArrayData fn;
    MObject ids = fn.create(values);
    ASSERT_TRUE(plug(n, "ids").setValue(ids));
    fn.set(MIntArray(5, 9));  // editing the caller's object leaves the plug alone
    MFnIntArrayData stored(plug(n, "ids").asMObject());
    ASSERT_EQ(stored.length(), 2u);
    EXPECT_EQ(stored[0], 3);
    EXPECT_EQ(stored[1], 1);
    MObject wrongKind = MFnStringData().create("x");
    EXPECT_FALSE(plug(n, "ids").setValue(wrongKind));

    // Stored values are compared with the attribute defaults.
    MObject fresh = create("dgTestLimits");
    for (const char* name : {"ratio", "tint", "label", "mode"})
        EXPECT_TRUE(host::isAtDefault(plug(fresh, name))) << name;
    plug(fresh, "ratio").setValue(0.5);
    plug(fresh, "tintG").setValue(0.0f);
    plug(fresh, "label").setValue(MString("changed"));
    for (const char* name : {"ratio", "tint", "label"})
        EXPECT_FALSE(host::isAtDefault(plug(fresh, name))) << name;
    EXPECT_TRUE(host::isAtDefault(plug(fresh, "mode")));
}

TEST_F(DependencyGraph, SparseArraysByLogicalAndPhysicalIndexAndBuiltOutputs)
{
    MObject n = create("dgTestArray");
    MPlug in = plug(n, "inValues");
    for (unsigned logical : {9u, 2u, 5u})
        ASSERT_TRUE(in.elementByLogicalIndex(logical).setValue(double(logical)));
    ASSERT_EQ(in.numElements(), 3u);
    EXPECT_EQ(in.elementByPhysicalIndex(0).logicalIndex(), 2u);
    EXPECT_EQ(in[1].logicalIndex(), 5u);
    EXPECT_EQ(in[2].name(), MString("dgTestArray1.inValues[9]"));
    MStatus status;
    in.elementByPhysicalIndex(3, &status);
    EXPECT_FALSE(status);
    MIntArray indices;
    EXPECT_EQ(in.getExistingArrayAttributeIndices(indices), 3u);
    EXPECT_EQ(indices[2], 9);
    EXPECT_DOUBLE_EQ(plug(n, "total").asDouble(), 16.0);
    // Changing one element dirties the sum.
    in.elementByLogicalIndex(5).setValue(0.0);
    EXPECT_DOUBLE_EQ(plug(n, "total").asDouble(), 11.0);
    // An index below those present goes in front of them, where a dense lookup must not put it.
    in.elementByLogicalIndex(1).setValue(1.0);
    EXPECT_EQ(in[0].logicalIndex(), 1u);
    EXPECT_EQ(in[1].logicalIndex(), 2u);
    EXPECT_DOUBLE_EQ(plug(n, "total").asDouble(), 12.0);

    // A compute's array data builder replaces the output elements.
    MPlug out = plug(n, "outValues");
    plug(n, "count").setValue(3);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(4).asDouble(), 20.0);
    EXPECT_EQ(out.evaluateNumElements(), 3u);
    indices.clear();
    out.getExistingArrayAttributeIndices(indices);
    EXPECT_EQ(std::vector<int>(indices.begin(), indices.end()), (std::vector<int>{0, 2, 4}));

    plug(n, "count").setValue(1);
    EXPECT_EQ(out.evaluateNumElements(), 1u);
    EXPECT_DOUBLE_EQ(out.elementByPhysicalIndex(0).asDouble(), 0.0);
    EXPECT_EQ(user<ArrayNode>(n)->computes, 2);
}

TEST_F(DependencyGraph, DynamicAttributesCanBeAddedAndRemoved)
{
    MObject n = create("dgTestAdd");
    MFnDependencyNode fn(n);
    unsigned before = fn.attributeCount();
    MFnNumericAttribute num;
    MObject extra = num.create("extraWeight", "xw", MFnNumericData::kDouble, 2.0);
    ASSERT_TRUE(fn.addAttribute(extra));
    EXPECT_EQ(fn.attributeCount(), before + 1);
    EXPECT_TRUE(fn.hasAttribute("xw"));
    MPlug p = fn.findPlug("extraWeight", true);
    EXPECT_TRUE(p.isDynamic());
    EXPECT_DOUBLE_EQ(p.asDouble(), 2.0);
    ASSERT_TRUE(p.setValue(5.0));
    EXPECT_EQ(host::dynamicAttributes(n).size(), 1u);

    MObject clash = num.create("inputA", "zz", MFnNumericData::kDouble);
    EXPECT_FALSE(fn.addAttribute(clash));
    EXPECT_FALSE(fn.removeAttribute(AddNode::inputA));  // static attributes stay
    ASSERT_TRUE(fn.removeAttribute(extra));
    EXPECT_FALSE(fn.hasAttribute("extraWeight"));
    EXPECT_TRUE(host::dynamicAttributes(n).empty());
    EXPECT_TRUE(fn.findPlug("extraWeight", true).isNull());
}

TEST_F(DependencyGraph, RegistryRefusesDuplicatesAndIteratorKeepsCreationOrder)
{
    EXPECT_FALSE(host::registerNodeType(typeInfo("dgTestAdd", 0x0007f2ff, &AddNode::creator, &AddNode::initialize)));
    EXPECT_FALSE(host::registerNodeType(typeInfo("dgTestOther", 0x0007f201, &AddNode::creator, &AddNode::initialize)));
    EXPECT_EQ(host::findNodeType(MTypeId(0x0007f202))->name, MString("dgTestArray"));
    MObject first = create("dgTestAdd");
    EXPECT_TRUE(first.hasFn(MFn::kDependencyNode));
    EXPECT_FALSE(first.hasFn(MFn::kDagNode));
    EXPECT_EQ(host::liveNodeCountOfPlugin(kPluginName), 1u);
    // Attributes added outside an initialiser go nowhere.
    MFnNumericAttribute num;
    EXPECT_FALSE(MPxNode::addAttribute(num.create("stray", "st", MFnNumericData::kInt)));

    // The iterator visits nodes in creation order.
    create("dgTestArray", "alpha");
    create("dgTestAdd", "mid");
    std::vector<std::string> names;
    for (MItDependencyNodes it(MFn::kPluginDependNode); !it.isDone(); it.next())
        names.push_back(nameOf(it.thisNode()).asChar());
    EXPECT_EQ(names, (std::vector<std::string>{"dgTestAdd1", "alpha", "mid"}));
}

TEST_F(DependencyGraph, SelectionListFindsNodesAndPlugsByName)
{
    create("dgTestAdd", "armCtl");
    create("dgTestAdd", "legCtl");
    create("dgTestArray", "other");
    MSelectionList list;
    ASSERT_TRUE(list.add("*Ctl"));
    EXPECT_EQ(list.length(), 2u);
    ASSERT_TRUE(list.add("other.iv[3]"));
    MPlug p;
    ASSERT_TRUE(list.getPlug(2, p));
    EXPECT_EQ(p.name(), MString("other.inValues[3]"));
    EXPECT_FALSE(list.getPlug(0, p));
    EXPECT_EQ(list.add("missing*"), MS::kInvalidParameter);
    EXPECT_EQ(list.add("armCtl.noSuchAttr"), MS::kInvalidParameter);
    MStringArray strings;
    list.getSelectionStrings(strings);
    EXPECT_EQ(strings[0], MString("armCtl"));
}

TEST_F(DependencyGraph, UnknownEventNamesAreRefusedAndPlayEvaluatesEachFrame)
{
    MStatus status;
    MEventMessage::addEventCallback("NoSuchEvent", countCall, nullptr, &status);
    EXPECT_EQ(status, MS::kInvalidParameter);
    int calls = 0;
    MCallbackId id = MEventMessage::addEventCallback("SelectionChanged", countCall, &calls, &status);
    ASSERT_TRUE(status);
    host::fireEvent("SelectionChanged");
    host::fireEvent("timeChanged");
    EXPECT_EQ(calls, 1);
    MMessage::removeCallback(id);

    // A keyed node feeding a transform computes once a frame while play steps, with nothing drawn or queried.
    MObject add = create("dgTestAdd", "add");
    ASSERT_TRUE(MGlobal::executeCommand("createNode transform -n follower; connectAttr add.sum follower.tx;"
                                        "setKeyframe -t 1 -v 0 add.ia; setKeyframe -t 5 -v 4 add.ia;"
                                        "playbackOptions -min 1 -max 5; currentTime 1"));
    const int before = user<AddNode>(add)->computes;
    ASSERT_TRUE(MGlobal::executeCommand("play -wait"));
    EXPECT_EQ(user<AddNode>(add)->computes - before, 5);
}

} // namespace

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

    // An element added to an evaluated array is computed when pulled.
    EXPECT_EQ(out.evaluateNumElements(), 2u);
    plug(n, "count").setValue(4);
    EXPECT_DOUBLE_EQ(out.elementByLogicalIndex(3).child(2).asDouble(), 600.0);
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
