#pragma once
// Host values as the tests compare and find them: API arrays as standard vectors (strings as
// std::string), nodes, DAG paths and plugs by name (null or invalid when there is none), and whole
// files read and written. Finding a name that is not there fails the calling test.

#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPlug.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

template <class Array>
auto toVector(const Array& array)
{
    std::vector<std::decay_t<decltype(array[0])>> values;
    for (unsigned i = 0; i < array.length(); ++i)
        values.push_back(array[i]);
    return values;
}

inline std::vector<std::string> toVector(const MStringArray& array)
{
    std::vector<std::string> values;
    for (unsigned i = 0; i < array.length(); ++i)
        values.push_back(array[i].asChar());
    return values;
}

inline MObject nodeNamed(const std::string& name)
{
    MSelectionList list;
    MObject node;
    EXPECT_TRUE(list.add(MString(name.c_str())) && list.getDependNode(0, node)) << "no node " << name;
    return node;
}

inline MDagPath pathNamed(const std::string& name)
{
    MSelectionList list;
    MDagPath path;
    EXPECT_TRUE(list.add(MString(name.c_str())) && list.getDagPath(0, path)) << "no DAG node " << name;
    return path;
}

inline MPlug plugNamed(const std::string& name)
{
    MSelectionList list;
    MPlug plug;
    EXPECT_TRUE(list.add(MString(name.c_str())) && list.getPlug(0, plug)) << "no plug " << name;
    return plug;
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}
