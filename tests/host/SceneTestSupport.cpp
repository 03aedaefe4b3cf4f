#include "SceneTestSupport.h"

#include "support/HostFixture.h"

#include "commands/mel/MelInterpreter.h"
#include "commands/scene/MayaAsciiWriter.h"
#include "commands/scene/SceneFile.h"
#include "dg/Registry.h"

#include <maya/MFnCompoundAttribute.h>
#include <maya/MFnEnumAttribute.h>
#include <maya/MFnGenericAttribute.h>
#include <maya/MFnMatrixAttribute.h>
#include <maya/MFnMessageAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFnUnitAttribute.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MPxNode.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

#define SUPPORT_CHECK(expr)                                                                   \
    do {                                                                                      \
        MStatus _s = (expr);                                                                  \
        if (!_s) {                                                                            \
            _s.pAPIerror(__FILE__, __LINE__);                                                 \
            return _s;                                                                        \
        }                                                                                     \
    } while (0)

class SceneTestNode : public MPxNode
{
public:
    static void* creator() { return new SceneTestNode; }
    static MStatus initialize()
    {
        MStatus s;
        MFnTypedAttribute typed;
        MFnNumericAttribute numeric;
        MObject ia = typed.create("intArray", "ia", MFnData::kIntArray, MObject::kNullObj, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(ia));
        MObject da = typed.create("doubleArray", "da", MFnData::kDoubleArray, MObject::kNullObj, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(da));
        MObject sa = typed.create("stringArray", "sa", MFnData::kStringArray, MObject::kNullObj, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(sa));
        MObject str = typed.create("text", "str", MFnData::kString, MObject::kNullObj, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(str));
        MFnMatrixAttribute matrix;
        MObject mat = matrix.create("transformMatrix", "mat", MFnMatrixAttribute::kDouble, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(mat));
        MObject vx = numeric.create("vectorX", "vx", MFnNumericData::kDouble, 0, &s);
        MObject vy = numeric.create("vectorY", "vy", MFnNumericData::kDouble, 0, &s);
        MObject vz = numeric.create("vectorZ", "vz", MFnNumericData::kDouble, 0, &s);
        MObject vec = numeric.create("vector", "vec", vx, vy, vz, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(vec));
        MObject flag = numeric.create("flag", "flag", MFnNumericData::kBoolean, 1, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(flag));
        MFnEnumAttribute enumeration;
        MObject mode = enumeration.create("mode", "mode", 0, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(enumeration.addField("a", 0));
        SUPPORT_CHECK(enumeration.addField("b", 1));
        SUPPORT_CHECK(enumeration.addField("c", 5));
        SUPPORT_CHECK(addAttribute(mode));
        MFnUnitAttribute unit;
        MObject ang = unit.create("angle", "ang", MFnUnitAttribute::kAngle, 0.0, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(addAttribute(ang));
        MObject cache = numeric.create("cache", "cache", MFnNumericData::kDouble, 0, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(numeric.setStorable(false));
        SUPPORT_CHECK(addAttribute(cache));
        MObject vals = numeric.create("values", "vals", MFnNumericData::kDouble, 0, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(numeric.setArray(true));
        SUPPORT_CHECK(addAttribute(vals));
        MFnMessageAttribute message;
        MObject links = message.create("links", "links", &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(message.setArray(true));
        SUPPORT_CHECK(message.setIndexMatters(false));
        SUPPORT_CHECK(addAttribute(links));
        MObject iv = numeric.create("inValue", "iv", MFnNumericData::kDouble, 0, &s);
        SUPPORT_CHECK(s);
        MObject inm = typed.create("inName", "inm", MFnData::kString, MObject::kNullObj, &s);
        SUPPORT_CHECK(s);
        MFnCompoundAttribute compound;
        MObject in = compound.create("inputs", "in", &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(compound.addChild(iv));
        SUPPORT_CHECK(compound.addChild(inm));
        SUPPORT_CHECK(compound.setArray(true));
        SUPPORT_CHECK(addAttribute(in));
        MObject cnt = numeric.create("count", "cnt", MFnNumericData::kInt, 0, &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(numeric.setMin(0));
        SUPPORT_CHECK(numeric.setMax(10));
        SUPPORT_CHECK(addAttribute(cnt));
        MFnGenericAttribute generic;
        MObject geo = generic.create("geometry", "geo", &s);
        SUPPORT_CHECK(s);
        SUPPORT_CHECK(generic.addDataAccept(MFnData::kMesh));
        SUPPORT_CHECK(addAttribute(geo));
        return MS::kSuccess;
    }
};

class SceneTestLocator : public MPxLocatorNode
{
public:
    static void* creator() { return new SceneTestLocator; }
    static MStatus initialize() { return MS::kSuccess; }
};

class SceneTestForeign : public MPxNode
{
public:
    static void* creator() { return new SceneTestForeign; }
    static MStatus initialize() { return MS::kSuccess; }
};

MStatus registerType(const char* name, unsigned id, host::NodeCreatorFunction creator,
                     host::NodeInitializeFunction initialize, MPxNode::Type type, const char* plugin)
{
    return host::registerNodeType(testNodeType(name, id, creator, initialize, type, plugin));
}

} // namespace

void registerSceneTestTypes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    ASSERT_TRUE(registerType("sceneTestNode", 0x0007F5A1, &SceneTestNode::creator, &SceneTestNode::initialize,
                             MPxNode::kDependNode, ""));
    ASSERT_TRUE(registerType("sceneTestLocator", 0x0007F5A2, &SceneTestLocator::creator,
                             &SceneTestLocator::initialize, MPxNode::kLocatorNode, ""));
    ASSERT_TRUE(registerType("sceneTestForeign", 0x0007F5A3, &SceneTestForeign::creator,
                             &SceneTestForeign::initialize, MPxNode::kDependNode, "sceneTestMissingPlugin"));
}

void SceneTest::SetUp()
{
    registerSceneTestTypes();
    ASSERT_TRUE(host::SceneFile::newScene());
    fCapture = std::make_unique<host::MessageCapture>();
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fTempDir = (std::filesystem::temp_directory_path() /
                (std::string("pellix-") + info->test_suite_name() + "-" + info->name() + "-" +
                 std::to_string(::getpid())))
                   .string();
    std::filesystem::create_directories(fTempDir);
}

void SceneTest::TearDown()
{
    fCapture.reset();
    host::SceneFile::newScene();
    std::error_code ignored;
    std::filesystem::remove_all(fTempDir, ignored);
}

MStatus SceneTest::run(const std::string& script)
{
    return host::MelInterpreter::run(MString(script.c_str()));
}

host::MelValue SceneTest::value(const std::string& script)
{
    host::MelValue result;
    MStatus status = host::MelInterpreter::run(MString(script.c_str()), &result);
    EXPECT_TRUE(status) << script << "\n" << errors();
    return result;
}

std::string SceneTest::sceneText()
{
    std::string text;
    EXPECT_TRUE(host::MayaAsciiWriter::write("scene.ma", text));
    return text;
}

std::string SceneTest::errors() const
{
    return fCapture ? fCapture->text(host::MessageKind::kError).asChar() : std::string();
}

void SceneTest::expectRefusals(const std::vector<Refusal>& refusals)
{
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.command);
        clearMessages();
        EXPECT_FALSE(run(refusal.command));
        EXPECT_EQ(errors(), refusal.error + "\n");
    }
}

std::string SceneTest::warnings() const
{
    return fCapture ? fCapture->text(host::MessageKind::kWarning).asChar() : std::string();
}

std::string SceneTest::tempPath(const std::string& name) const
{
    return fTempDir + "/" + name;
}

MStatus SceneTest::openText(const std::string& body, const std::string& name)
{
    const std::string path = tempPath(name);
    std::ofstream(path, std::ios::binary) << "//Maya ASCII 2023 scene\nrequires maya \"2023\";\n"
                                             "currentUnit -l centimeter -a degree -t film;\n"
                                          << body;
    return run("file -f -o \"" + path + "\"");
}

std::string SceneTest::save(const std::string& name)
{
    const std::string path = tempPath(name);
    EXPECT_TRUE(run("file -rename \"" + path + "\"; file -save")) << errors();
    return readFile(path);
}

std::string SceneTest::readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
