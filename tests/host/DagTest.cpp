// The DAG of the host: world matrices through the hierarchy, dirtying when an
// ancestor moves, instancing, path names, traversal, DAG modifiers and sets.

#include "dg/Scene.h"
#include "support/HostFixture.h"

#include <maya/MBoundingBox.h>
#include <maya/MDGModifier.h>
#include <maya/MDagMessage.h>
#include <maya/MDagModifier.h>
#include <maya/MDagPath.h>
#include <maya/MDagPathArray.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnMatrixData.h>
#include <maya/MFnSet.h>
#include <maya/MFnTransform.h>
#include <maya/MItDag.h>
#include <maya/MMessage.h>
#include <maya/MObjectHandle.h>
#include <maya/MPlug.h>
#include <maya/MPoint.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MSelectionList.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const double kQuarterTurn = M_PI / 2.0;

class DagTestLocator : public MPxLocatorNode
{
public:
    static void* creator() { return new DagTestLocator; }
    static MStatus initialize() { return MS::kSuccess; }
    bool isBounded() const override { return true; }
    MBoundingBox boundingBox() const override { return MBoundingBox(MPoint(-1, -1, -1), MPoint(1, 1, 1)); }
};

class DagTest : public HostFixture
{
protected:
    void SetUp() override
    {
        registerOnce(testNodeType("dagTestLocator", 0x0007f1d0, &DagTestLocator::creator,
                                  &DagTestLocator::initialize, MPxNode::kLocatorNode));
        HostFixture::SetUp();
    }

    MObject transform(const char* name, const MObject& parent = MObject::kNullObj)
    {
        MFnDagNode fn;
        MStatus status;
        MObject node = fn.create("transform", name, parent, &status);
        EXPECT_TRUE(status);
        return node;
    }

    void setDouble(const MObject& node, const char* attr, double value)
    {
        ASSERT_TRUE(plug(node, attr).setDouble(value)) << attr;
    }

    void setVector(const MObject& node, const char* attr, double x, double y, double z)
    {
        const MPlug compound = plug(node, attr);
        for (unsigned i = 0; i < 3; ++i)
            ASSERT_TRUE(compound.child(i).setDouble(i == 0 ? x : i == 1 ? y : z)) << attr;
    }

    static MMatrix matrixPlug(const MObject& node, const char* attr, int element = -1)
    {
        const MPlug whole = plug(node, attr);
        MStatus status;
        MObject data = (element >= 0 ? whole.elementByLogicalIndex(static_cast<unsigned>(element)) : whole)
                           .asMObject(&status);
        EXPECT_TRUE(status) << attr;
        return MFnMatrixData(data).matrix();
    }

    static MDagPath pathTo(const MObject& node)
    {
        MDagPath path;
        EXPECT_TRUE(MDagPath::getAPathTo(node, path));
        return path;
    }
};

void expectPoint(const MPoint& actual, double x, double y, double z)
{
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, z, 1e-9);
}

// --- world matrices ------------------------------------------------------

TEST_F(DagTest, WorldMatrixComposesPivotsScaleAndParentRotation)
{
    MObject grp = transform("grp");
    setDouble(grp, "tx", 10.0);
    setDouble(grp, "ry", kQuarterTurn);
    MObject ctrl = transform("ctrl", grp);
    setVector(ctrl, "translate", 0, 0, 5);
    setDouble(ctrl, "rz", kQuarterTurn);
    setVector(ctrl, "rotatePivot", 1, 0, 0);
    setVector(ctrl, "scale", 2, 2, 2);
    setVector(ctrl, "scalePivot", 1, 0, 0);

    // (2,0,0): scaled about (1,0,0) -> (3,0,0); turned about (1,0,0) -> (1,2,0);
    // translated -> (1,2,5); through the parent's quarter turn about Y and its
    // translate -> (15,2,-1).
    MPoint p(2, 0, 0);
    expectPoint(p * matrixPlug(ctrl, "matrix"), 1, 2, 5);
    expectPoint(p * matrixPlug(ctrl, "worldMatrix", 0), 15, 2, -1);
    expectPoint(p * pathTo(ctrl).inclusiveMatrix(), 15, 2, -1);
    expectPoint(p * matrixPlug(ctrl, "parentMatrix", 0), 10, 0, -2);
    EXPECT_TRUE((matrixPlug(ctrl, "worldMatrix", 0) * matrixPlug(ctrl, "worldInverseMatrix", 0))
                    .isEquivalent(MMatrix::identity, 1e-9));
    EXPECT_TRUE(matrixPlug(ctrl, "inverseMatrix").isEquivalent(matrixPlug(ctrl, "matrix").inverse(), 1e-9));
}

TEST_F(DagTest, OffsetParentMatrixRotateOrderAxisAndPivotTranslates)
{
    MObject grp = transform("grp");
    setDouble(grp, "ry", kQuarterTurn);
    MObject ctrl = transform("ctrl", grp);
    setVector(ctrl, "translate", 1, 0, 0);

    MMatrix offset;
    offset[3][1] = 100.0;
    MFnMatrixData data;
    MObject value = data.create(offset);
    MPlug opm = MFnDependencyNode(ctrl).findPlug("opm", true);
    ASSERT_TRUE(opm.setMObject(value));

    // (0,0,0) -> local (1,0,0) -> offset (1,100,0) -> parent turn (0,100,-1).
    expectPoint(MPoint::origin * matrixPlug(ctrl, "worldMatrix", 0), 0, 100, -1);
    // The local matrix itself does not include the offset.
    expectPoint(MPoint::origin * matrixPlug(ctrl, "matrix"), 1, 0, 0);

    // The rotate order changes which axis turns first.
    MObject node = transform("node");
    setVector(node, "rotate", kQuarterTurn, kQuarterTurn, 0);
    MPoint up(0, 1, 0);
    // xyz: X turns (0,1,0) to (0,0,1), then Y turns it to (1,0,0).
    expectPoint(up * matrixPlug(node, "worldMatrix", 0), 1, 0, 0);

    MPlug order = MFnDependencyNode(node).findPlug("rotateOrder", true);
    ASSERT_TRUE(order.setShort(1));  // yzx: Y leaves (0,1,0) alone, then X turns it to (0,0,1).
    expectPoint(up * matrixPlug(node, "worldMatrix", 0), 0, 0, 1);
    EXPECT_EQ(MFnTransform(node).rotationOrder(), MTransformationMatrix::kYZX);

    // Rotate axis and pivot translates enter the local matrix.
    MObject node2 = transform("node2");
    setVector(node2, "rotateAxis", 0, 0, kQuarterTurn);
    setVector(node2, "rotatePivotTranslate", 0, 0, 3);
    setVector(node2, "scalePivotTranslate", 0, 4, 0);
    // (1,0,0): + spt -> (1,4,0); axis turn about Z -> (-4,1,0); + rpt -> (-4,1,3).
    expectPoint(MPoint(1, 0, 0) * matrixPlug(node2, "matrix"), -4, 1, 3);
}

// --- dirtying through the hierarchy ---------------------------------------

struct MatrixChanges
{
    int count = 0;
    MObject lastTransform;
    unsigned lastFlags = 0;
};

void countMatrixChange(MObject& transform, MDagMessage::MatrixModifiedFlags& modified, void* clientData)
{
    auto* changes = static_cast<MatrixChanges*>(clientData);
    ++changes->count;
    changes->lastTransform = transform;
    changes->lastFlags = modified;
}

TEST_F(DagTest, MovingAnAncestorDirtiesDescendantWorldMatrices)
{
    MObject top = transform("top");
    MObject mid = transform("mid", top);
    MObject leaf = transform("leaf", mid);
    MDagPath leafPath = pathTo(leaf);
    expectPoint(MPoint::origin * leafPath.inclusiveMatrix(), 0, 0, 0);

    setDouble(top, "ty", 4.0);
    expectPoint(MPoint::origin * leafPath.inclusiveMatrix(), 0, 4, 0);
    setDouble(mid, "tx", 1.0);
    expectPoint(MPoint::origin * leafPath.inclusiveMatrix(), 1, 4, 0);
    expectPoint(MPoint::origin * leafPath.exclusiveMatrix(), 1, 4, 0);
    setDouble(top, "ty", -2.0);
    expectPoint(MPoint::origin * matrixPlug(leaf, "worldMatrix", 0), 1, -2, 0);
}

TEST_F(DagTest, WorldMatrixCallbackFiresForAncestorChangesOnly)
{
    MObject top = transform("top");
    MObject leaf = transform("leaf", top);
    MObject other = transform("other");
    MDagPath leafPath = pathTo(leaf);

    MatrixChanges changes;
    MStatus status;
    MCallbackId id = MDagMessage::addWorldMatrixModifiedCallback(leafPath, &countMatrixChange, &changes, &status);
    ASSERT_TRUE(status);
    leafPath.inclusiveMatrix();  // notifications come as a clean matrix goes dirty

    setDouble(other, "tx", 3.0);
    EXPECT_EQ(changes.count, 0);

    setDouble(top, "tz", 2.0);
    EXPECT_GE(changes.count, 1);
    EXPECT_EQ(changes.lastTransform, top);
    EXPECT_TRUE(changes.lastFlags & MDagMessage::kTranslateZ);

    // After the new value was read the next change notifies again.
    leafPath.inclusiveMatrix();
    int before = changes.count;
    setDouble(leaf, "sx", 2.0);
    EXPECT_GT(changes.count, before);
    EXPECT_EQ(changes.lastTransform, leaf);
    EXPECT_TRUE(changes.lastFlags & MDagMessage::kScaleX);

    ASSERT_TRUE(MMessage::removeCallback(id));
    leafPath.inclusiveMatrix();
    before = changes.count;
    setDouble(top, "tz", 5.0);
    EXPECT_EQ(changes.count, before);
}

struct ParentChildEvents
{
    std::vector<std::string> seen;
};

void recordParentChild(MDagMessage::DagMessage message, MDagPath& child, MDagPath& parent, void* clientData)
{
    auto* events = static_cast<ParentChildEvents*>(clientData);
    const char* kind = message == MDagMessage::kChildAdded ? "added" : "removed";
    events->seen.push_back(std::string(kind) + " " + child.fullPathName().asChar() + " under " +
                           parent.fullPathName().asChar());
}

void recordChildAdded(MDagPath& child, MDagPath& parent, void* clientData)
{
    recordParentChild(MDagMessage::kChildAdded, child, parent, clientData);
}

TEST_F(DagTest, ReparentingMovesTheWorldMatrixAndReportsTheChildMoved)
{
    MObject a = transform("a");
    setDouble(a, "tx", 5.0);
    MObject b = transform("b");
    setDouble(b, "ty", 7.0);
    MObject leaf = transform("leaf", a);
    expectPoint(MPoint::origin * pathTo(leaf).inclusiveMatrix(), 5, 0, 0);

    MFnDagNode fnB(b);
    ASSERT_TRUE(fnB.addChild(leaf));
    EXPECT_EQ(pathTo(leaf).fullPathName(), MString("|b|leaf"));
    expectPoint(MPoint::origin * pathTo(leaf).inclusiveMatrix(), 0, 7, 0);
    EXPECT_EQ(MFnDagNode(a).childCount(), 0u);

    // Parenting reports the child removed and added.
    ParentChildEvents events;
    MCallbackId added = MDagMessage::addChildAddedCallback(&recordChildAdded, &events);
    MCallbackId removed = MDagMessage::addDagCallback(MDagMessage::kChildRemoved, &recordParentChild, &events);
    ASSERT_TRUE(MFnDagNode(a).addChild(leaf));
    EXPECT_EQ(events.seen, (std::vector<std::string>{"removed |b|leaf under |b", "added |a|leaf under |a"}));

    MMessage::removeCallback(added);
    MMessage::removeCallback(removed);
    events.seen.clear();
    ASSERT_TRUE(MFnDagNode(a).removeChild(leaf));
    EXPECT_TRUE(events.seen.empty());
    EXPECT_EQ(pathTo(leaf).fullPathName(), MString("|leaf"));
}

std::vector<std::string> walk(MItDag::TraversalType type, MFn::Type filter, const char* pruneAt = nullptr)
{
    std::vector<std::string> names;
    MStatus status;
    MItDag it(type, filter, &status);
    EXPECT_TRUE(status);
    for (; !it.isDone(); it.next()) {
        MDagPath path;
        EXPECT_TRUE(it.getPath(path));
        std::string name = path.fullPathName().asChar();
        names.push_back(name.empty() ? "<world>" : name);
        if (pruneAt && name == pruneAt)
            it.prune();
    }
    return names;
}

// --- instancing -----------------------------------------------------------

TEST_F(DagTest, InstancedNodeHasOnePathAndWorldMatrixPerParentAndNoShortName)
{
    MObject a = transform("a");
    setDouble(a, "tx", 1.0);
    MObject b = transform("b");
    setDouble(b, "tx", 2.0);
    MObject shape = transform("leaf", a);
    setDouble(shape, "ty", 10.0);
    ASSERT_TRUE(MFnDagNode(b).addChild(shape, MFnDagNode::kNextPos, true));

    MDagPathArray paths;
    ASSERT_TRUE(MDagPath::getAllPathsTo(shape, paths));
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_EQ(paths[0].fullPathName(), MString("|a|leaf"));
    EXPECT_EQ(paths[1].fullPathName(), MString("|b|leaf"));
    EXPECT_EQ(paths[0].instanceNumber(), 0u);
    EXPECT_EQ(paths[1].instanceNumber(), 1u);
    EXPECT_TRUE(paths[1].isInstanced());
    EXPECT_EQ(paths[0].partialPathName(), MString("a|leaf"));
    EXPECT_TRUE(MFnDagNode(shape).isInstanced());
    EXPECT_EQ(MFnDagNode(shape).instanceCount(true), 2u);

    expectPoint(MPoint::origin * matrixPlug(shape, "worldMatrix", 0), 1, 10, 0);
    expectPoint(MPoint::origin * matrixPlug(shape, "worldMatrix", 1), 2, 10, 0);
    expectPoint(MPoint::origin * paths[1].inclusiveMatrix(), 2, 10, 0);

    // Only the moved parent's instance changes.
    setDouble(b, "tz", 3.0);
    expectPoint(MPoint::origin * paths[0].inclusiveMatrix(), 1, 10, 0);
    expectPoint(MPoint::origin * paths[1].inclusiveMatrix(), 2, 10, 3);

    // An instanced short name is ambiguous and matches nothing; the iterator visits every instance path.

    MSelectionList list;
    EXPECT_FALSE(list.add("leaf"));
    EXPECT_EQ(list.length(), 0u);
    ASSERT_TRUE(list.add("b|leaf"));
    MDagPath path;
    ASSERT_TRUE(list.getDagPath(0, path));
    EXPECT_EQ(path.instanceNumber(), 1u);
    // Wildcards may match several paths.
    MSelectionList all;
    ASSERT_TRUE(all.add("*|lea*"));
    EXPECT_EQ(all.length(), 2u);
    MFnDagNode().create("dagTestLocator", "dot", shape);
    EXPECT_EQ(walk(MItDag::kDepthFirst, MFn::kLocator),
              (std::vector<std::string>{"|a|leaf|dot", "|b|leaf|dot"}));
}

TEST_F(DagTest, InstancesMultiplyThroughInstancedAncestors)
{
    MObject a = transform("a");
    MObject b = transform("b");
    setDouble(b, "tx", 3.0);
    MObject mid = transform("mid", a);
    ASSERT_TRUE(MFnDagNode(b).addChild(mid, MFnDagNode::kNextPos, true));
    MObject leaf = transform("leaf", mid);

    MDagPathArray paths;
    ASSERT_TRUE(MDagPath::getAllPathsTo(leaf, paths));
    ASSERT_EQ(paths.length(), 2u);
    EXPECT_EQ(paths[1].fullPathName(), MString("|b|mid|leaf"));
    EXPECT_EQ(paths[1].instanceNumber(), 1u);
    expectPoint(MPoint::origin * paths[1].inclusiveMatrix(), 3, 0, 0);
    EXPECT_FALSE(MFnDagNode(leaf).isInstanced(false));
    EXPECT_TRUE(MFnDagNode(leaf).isInstanced(true));
}

// --- names and paths --------------------------------------------------------

TEST_F(DagTest, PathNamesAndNameLookup)
{
    MObject grp = transform("grp");
    MObject ctrl = transform("ctrl", grp);
    MObject shape = transform("ctrlShape", ctrl);

    MDagPath path = pathTo(shape);
    EXPECT_EQ(path.fullPathName(), MString("|grp|ctrl|ctrlShape"));
    EXPECT_EQ(path.partialPathName(), MString("ctrlShape"));
    EXPECT_EQ(path.length(), 3u);
    EXPECT_EQ(path.transform(), shape);

    for (const char* name : {"|grp|ctrl", "grp|ctrl", "ctrl"}) {
        MSelectionList list;
        ASSERT_TRUE(list.add(name)) << name;
        MDagPath found;
        ASSERT_TRUE(list.getDagPath(0, found)) << name;
        EXPECT_EQ(found.fullPathName(), MString("|grp|ctrl")) << name;
        EXPECT_TRUE(list.hasItem(pathTo(ctrl))) << name;
    }
    // A DAG node added as an object is selected through its path.
    MSelectionList byObject;
    ASSERT_TRUE(byObject.add(ctrl));
    MDagPath viaObject;
    ASSERT_TRUE(byObject.getDagPath(0, viaObject));
    EXPECT_EQ(viaObject, pathTo(ctrl));

    MSelectionList missing;
    EXPECT_FALSE(missing.add("|ctrl"));
    EXPECT_FALSE(missing.add("nothing|ctrl"));

    MDagPath popped = path;
    ASSERT_TRUE(popped.pop());
    EXPECT_EQ(popped, pathTo(ctrl));
    ASSERT_TRUE(popped.push(shape));
    EXPECT_EQ(popped, path);
    EXPECT_FALSE(popped.push(grp));  // not a child of ctrlShape
}

TEST_F(DagTest, ExtendToShapeFindsTheSingleShapeWhichSharesTheDagAttributes)
{
    MObject xform = transform("holder");
    MFnDagNode fn;
    MStatus status;
    MObject shape = fn.create("dagTestLocator", "holderShape", xform, &status);
    ASSERT_TRUE(status);
    MDagPath path = pathTo(xform);
    unsigned count = 0;
    ASSERT_TRUE(path.numberOfShapesDirectlyBelow(count));
    EXPECT_EQ(count, 1u);
    ASSERT_TRUE(path.extendToShape());
    EXPECT_EQ(path.node(), shape);
    EXPECT_TRUE(path.hasFn(MFn::kLocator));
    EXPECT_EQ(path.transform(), xform);

    MFnDagNode(xform).create("dagTestLocator", "second", xform);
    MDagPath two = pathTo(xform);
    EXPECT_FALSE(two.extendToShape());
    ASSERT_TRUE(two.extendToShapeDirectlyBelow(1));
    EXPECT_EQ(two.partialPathName(), MString("second"));

    // Shapes share the DAG attributes: world matrices, world position and visibility.
    setDouble(xform, "tx", 2.0);
    path = pathTo(shape);
    expectPoint(MPoint::origin * path.inclusiveMatrix(), 2, 0, 0);
    expectPoint(MPoint::origin * matrixPlug(shape, "worldMatrix", 0), 2, 0, 0);

    MPlug lp = MFnDependencyNode(shape).findPlug("localPosition", true);
    ASSERT_TRUE(lp.child(1).setDouble(3.0));
    MPlug wp = MFnDependencyNode(shape).findPlug("worldPosition", true).elementByLogicalIndex(0);
    EXPECT_NEAR(wp.child(0).asDouble(), 2.0, 1e-12);
    EXPECT_NEAR(wp.child(1).asDouble(), 3.0, 1e-12);

    EXPECT_TRUE(path.isVisible());
    ASSERT_TRUE(MFnDagNode(shape).setIntermediateObject(true));
    EXPECT_FALSE(path.isVisible());
    setDouble(xform, "v", 0.0);
    MFnDependencyNode(shape).findPlug("io", true).setBool(false);
    EXPECT_FALSE(path.isVisible());
}

TEST_F(DagTest, BoundingBoxGathersChildShapesInTheTransformSpace)
{
    MObject grp = transform("grp");
    MObject holder = transform("holder", grp);
    setVector(holder, "scale", 2, 2, 2);
    setDouble(holder, "tx", 5.0);
    MObject shape = MFnDagNode().create("dagTestLocator", "holderShape", holder);

    MBoundingBox own = MFnDagNode(shape).boundingBox();
    expectPoint(own.min(), -1, -1, -1);
    MBoundingBox gathered = MFnDagNode(grp).boundingBox();
    expectPoint(gathered.min(), 3, -2, -2);
    expectPoint(gathered.max(), 7, 2, 2);
    EXPECT_TRUE(MFnDagNode(holder).transformationMatrix().isEquivalent(matrixPlug(holder, "matrix")));
}

// --- traversal ----------------------------------------------------------

TEST_F(DagTest, ItDagVisitsDepthOrBreadthFirstWithFilterAndPrune)
{
    MObject grp = transform("grp");
    MObject a = transform("a", grp);
    transform("a1", a);
    transform("b", grp);
    transform("other");

    EXPECT_EQ(walk(MItDag::kDepthFirst, MFn::kInvalid),
              (std::vector<std::string>{"<world>", "|grp", "|grp|a", "|grp|a|a1", "|grp|b", "|other"}));
    EXPECT_EQ(walk(MItDag::kBreadthFirst, MFn::kTransform),
              (std::vector<std::string>{"|grp", "|other", "|grp|a", "|grp|b", "|grp|a|a1"}));
    EXPECT_EQ(walk(MItDag::kDepthFirst, MFn::kTransform, "|grp|a"),
              (std::vector<std::string>{"|grp", "|grp|a", "|grp|b", "|other"}));

    MItDag below;
    ASSERT_TRUE(below.reset(a, MItDag::kDepthFirst, MFn::kInvalid));
    std::vector<std::string> names;
    for (; !below.isDone(); below.next())
        names.push_back(below.fullPathName().asChar());
    EXPECT_EQ(names, (std::vector<std::string>{"|grp|a", "|grp|a|a1"}));
}

// --- modifiers ------------------------------------------------------------

TEST_F(DagTest, DagModifierCreationUndoesRedoesAndWrapsParentlessShapes)
{
    MObject grp = transform("grp");
    MDagModifier modifier;
    MStatus status;
    MObject child = modifier.createNode("transform", grp, &status);
    ASSERT_TRUE(status);
    EXPECT_EQ(MFnDagNode(grp).childCount(), 0u);  // queued only

    ASSERT_TRUE(modifier.doIt());
    ASSERT_EQ(MFnDagNode(grp).childCount(), 1u);
    EXPECT_EQ(MFnDagNode(grp).child(0), child);
    MObjectHandle handle(child);
    EXPECT_TRUE(handle.isValid());

    ASSERT_TRUE(modifier.undoIt());
    EXPECT_EQ(MFnDagNode(grp).childCount(), 0u);
    EXPECT_FALSE(handle.isValid());

    ASSERT_TRUE(modifier.doIt());
    EXPECT_TRUE(handle.isValid());
    EXPECT_EQ(MFnDagNode(grp).child(0), child);

    // A parentless shape is wrapped in a transform.
    MDagModifier wrapper;
    MObject result = wrapper.createNode("dagTestLocator", MObject::kNullObj, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(wrapper.doIt());
    EXPECT_TRUE(result.hasFn(MFn::kTransform));
    MFnDagNode fn(result);
    ASSERT_EQ(fn.childCount(), 1u);
    MObject shape = fn.child(0);
    EXPECT_TRUE(shape.hasFn(MFn::kLocator));

    ASSERT_TRUE(wrapper.undoIt());
    EXPECT_FALSE(MObjectHandle(result).isValid());
    EXPECT_FALSE(MObjectHandle(shape).isValid());
    MItDag it(MItDag::kDepthFirst, MFn::kLocator);
    EXPECT_TRUE(it.isDone());
}

TEST_F(DagTest, ReparentAndDeleteUndoRestoreParentsShapesAndSiblingOrder)
{
    MObject grp = transform("grp");
    MObject first = transform("first", grp);
    MObject second = transform("second", grp);
    MObject other = transform("other");
    setDouble(other, "tx", 6.0);

    MDagModifier modifier;
    ASSERT_TRUE(modifier.reparentNode(first, other));
    ASSERT_TRUE(modifier.doIt());
    EXPECT_EQ(pathTo(first).fullPathName(), MString("|other|first"));
    expectPoint(MPoint::origin * pathTo(first).inclusiveMatrix(), 6, 0, 0);

    ASSERT_TRUE(modifier.undoIt());
    EXPECT_EQ(pathTo(first).fullPathName(), MString("|grp|first"));
    EXPECT_EQ(MFnDagNode(grp).child(0), first);
    EXPECT_EQ(MFnDagNode(grp).child(1), second);
    expectPoint(MPoint::origin * pathTo(first).inclusiveMatrix(), 0, 0, 0);

    MDagModifier toWorld;
    ASSERT_TRUE(toWorld.reparentNode(second));
    ASSERT_TRUE(toWorld.doIt());
    EXPECT_EQ(pathTo(second).fullPathName(), MString("|second"));

    MDagModifier cycle;
    EXPECT_FALSE(cycle.reparentNode(grp, first));

    // Deleting a transform takes its shape, and undo brings both back.
    MObject holder = transform("holder", grp);
    MObject shape = MFnDagNode().create("dagTestLocator", "holderShape", holder);

    MDagModifier deleter;
    ASSERT_TRUE(deleter.deleteNode(holder));
    ASSERT_TRUE(deleter.doIt());
    EXPECT_FALSE(MObjectHandle(holder).isValid());
    EXPECT_FALSE(MObjectHandle(shape).isValid());
    EXPECT_EQ(MFnDagNode(grp).childCount(), 1u);

    ASSERT_TRUE(deleter.undoIt());
    EXPECT_TRUE(MObjectHandle(shape).isValid());
    EXPECT_EQ(pathTo(shape).fullPathName(), MString("|grp|holder|holderShape"));
}

// --- transforms through the function set ---------------------------------

TEST_F(DagTest, TransformFunctionSetWorksInWorldSpace)
{
    MObject grp = transform("grp");
    setDouble(grp, "tx", 10.0);
    setDouble(grp, "ry", kQuarterTurn);
    MObject ctrl = transform("ctrl", grp);

    MFnTransform fn(pathTo(ctrl));
    ASSERT_TRUE(fn.setTranslation(MVector(10, 0, -3), MSpace::kWorld));
    MVector local = fn.getTranslation(MSpace::kTransform);
    EXPECT_NEAR(local.x, 3.0, 1e-9);
    EXPECT_NEAR(local.z, 0.0, 1e-9);
    MVector world = fn.getTranslation(MSpace::kWorld);
    EXPECT_NEAR(world.x, 10.0, 1e-9);
    EXPECT_NEAR(world.z, -3.0, 1e-9);

    // kWorld needs the instance: an MObject attachment refuses it.
    MStatus status;
    MFnTransform byObject(ctrl);
    byObject.getTranslation(MSpace::kWorld, &status);
    EXPECT_FALSE(status);

    ASSERT_TRUE(fn.setRotation(MEulerRotation(0, 0, kQuarterTurn)));
    MEulerRotation rotation;
    ASSERT_TRUE(fn.getRotation(rotation));
    EXPECT_NEAR(rotation.z, kQuarterTurn, 1e-12);
    double scale[3] = {1, 2, 3};
    ASSERT_TRUE(fn.setScale(scale));
    double back[3] = {0, 0, 0};
    ASSERT_TRUE(fn.getScale(back));
    EXPECT_EQ(back[2], 3.0);

    // A balanced pivot move keeps the object in place.
    MObject node = transform("node");
    setVector(node, "rotate", 0.3, -0.7, 1.1);
    setVector(node, "scale", 2, 0.5, 1.5);
    MFnTransform pivots(pathTo(node));
    MPoint probe(1, 2, 3);
    MPoint before = probe * pathTo(node).inclusiveMatrix();

    ASSERT_TRUE(pivots.setRotatePivot(MPoint(4, -1, 2), MSpace::kTransform, true));
    ASSERT_TRUE(pivots.setScalePivot(MPoint(-2, 5, 1), MSpace::kTransform, true));
    MPoint after = probe * pathTo(node).inclusiveMatrix();
    EXPECT_TRUE(after.isEquivalent(before, 1e-9));
    expectPoint(pivots.rotatePivot(MSpace::kTransform), 4, -1, 2);

    // Without balance the object swings around the new pivot.
    ASSERT_TRUE(pivots.setRotatePivot(MPoint(0, 0, 0), MSpace::kTransform, false));
    EXPECT_FALSE((probe * pathTo(node).inclusiveMatrix()).isEquivalent(before, 1e-6));
}

// --- sets -----------------------------------------------------------------

TEST_F(DagTest, SetMembershipByPathAndNode)
{
    MObject a = transform("a");
    MObject b = transform("b");
    MObject leaf = transform("leaf", a);
    ASSERT_TRUE(MFnDagNode(b).addChild(leaf, MFnDagNode::kNextPos, true));
    MDagPathArray leafPaths;
    MDagPath::getAllPathsTo(leaf, leafPaths);

    MSelectionList members;
    members.add(pathTo(a));
    MFnSet set;
    MStatus status;
    MObject setNode = set.create(members, MFnSet::kNone, &status);
    ASSERT_TRUE(status);
    EXPECT_TRUE(setNode.hasFn(MFn::kSet));
    EXPECT_TRUE(set.isMember(pathTo(a)));
    EXPECT_FALSE(set.isMember(pathTo(b)));

    // Instances are members one by one.
    ASSERT_TRUE(set.addMember(leafPaths[1]));
    EXPECT_TRUE(set.isMember(leafPaths[1]));
    EXPECT_FALSE(set.isMember(leafPaths[0]));
    EXPECT_TRUE(set.isMember(leaf));
    ASSERT_TRUE(set.addMember(leafPaths[1]));  // adding twice keeps one entry

    MSelectionList found;
    ASSERT_TRUE(set.getMembers(found, false));
    EXPECT_EQ(found.length(), 2u);
    EXPECT_TRUE(found.hasItem(leafPaths[1]));

    ASSERT_TRUE(set.removeMember(pathTo(a), MObject::kNullObj));
    EXPECT_FALSE(set.isMember(pathTo(a)));
    EXPECT_FALSE(set.removeMember(pathTo(a), MObject::kNullObj));

    ASSERT_TRUE(set.clear());
    found.clear();
    ASSERT_TRUE(set.getMembers(found, false));
    EXPECT_EQ(found.length(), 0u);
}

} // namespace
