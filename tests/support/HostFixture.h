#pragma once
// Shared fixture for host tests: every test starts and ends with an empty
// scene and no callbacks left behind.

#include "dg/Messages.h"
#include "dg/Registry.h"
#include "dg/Scene.h"

#include <maya/MFnDependencyNode.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MString.h>

#include <gtest/gtest.h>

// A node type made of the test's own classes.
inline host::NodeTypeInfo testNodeType(const char* name, unsigned id, host::NodeCreatorFunction creator,
                                       host::NodeInitializeFunction initialize,
                                       MPxNode::Type type = MPxNode::kDependNode, const char* pluginName = "")
{
    host::NodeTypeInfo info;
    info.name = name;
    info.id = MTypeId(id);
    info.creator = creator;
    info.initialize = initialize;
    info.type = type;
    info.pluginName = pluginName;
    return info;
}

// Registers a node type once per process; later calls are no-ops.
inline void registerOnce(const host::NodeTypeInfo& info)
{
    if (!host::findNodeType(info.name)) {
        ASSERT_TRUE(host::registerNodeType(info)) << info.name.asChar();
    }
}

class HostFixture : public ::testing::Test
{
protected:
    void SetUp() override { host::deleteAllNodes(); }
    void TearDown() override { host::deleteAllNodes(); }

    static MObject create(const MString& type, const MString& name = MString())
    {
        MStatus status;
        MObject node = host::createNode(type, name, &status);
        EXPECT_TRUE(status) << "creating " << type.asChar();
        return node;
    }

    static MPlug plug(const MObject& node, const char* attr)
    {
        MStatus status;
        MPlug p = MFnDependencyNode(node).findPlug(attr, true, &status);
        EXPECT_TRUE(status) << attr;
        return p;
    }

    static MString nameOf(const MObject& node) { return MFnDependencyNode(node).name(); }
};
