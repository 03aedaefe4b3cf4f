// The five commands are registered with their syntax, but their work has not landed: each
// one, called correctly, refuses with an error naming it and changes nothing.

#include "PluginTestSupport.h"

#include <string>

namespace {

struct PendingCommand
{
    const char* name;
    const char* call;  // a well-formed call on the scene the test builds
};

const PendingCommand kCommands[] = {
    {"shapeControlCreate", "shapeControlCreate -name ctrl -live false"},
};

class PendingCommands : public PellixPluginTest
{
protected:
    void SetUp() override
    {
        PellixPluginTest::SetUp();
        ASSERT_TRUE(mel("createNode transform -name driver"));
        ASSERT_TRUE(mel("createNode transform -name patch"));
        ASSERT_TRUE(mel("select -replace driver patch"));
    }
};

} // namespace

TEST_F(PendingCommands, RefuseWithAnErrorNamingTheCommand)
{
    const MStringArray before = melStrings("ls");
    for (const PendingCommand& command : kCommands) {
        SCOPED_TRACE(command.name);
        host::MessageCapture capture;
        EXPECT_FALSE(mel(command.call));
        const std::string errors = capture.text(host::MessageKind::kError).asChar();
        EXPECT_EQ(errors.rfind(std::string(command.name) + ": ", 0), 0u) << errors;
        EXPECT_NE(errors.find("not available"), std::string::npos) << errors;
    }
    EXPECT_EQ(melStrings("ls").length(), before.length());
}

TEST_F(PendingCommands, ReportUnknownFlagsBeforeAnythingElse)
{
    for (const PendingCommand& command : kCommands) {
        SCOPED_TRACE(command.name);
        host::MessageCapture capture;
        EXPECT_FALSE(mel(std::string(command.name) + " -noSuchFlag driver patch"));
        const std::string errors = capture.text(host::MessageKind::kError).asChar();
        EXPECT_EQ(errors.find("not available"), std::string::npos) << errors;
    }
}
