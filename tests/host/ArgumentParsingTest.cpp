// MSyntax, MArgParser and MArgDatabase: what they accept, what they refuse
// and how they say so.

#include "CommandTestSupport.h"

#include "commands/Argument.h"
#include "commands/CommandRegistry.h"

#include <maya/MArgDatabase.h>
#include <maya/MArgList.h>
#include <maya/MDistance.h>
#include <maya/MGlobal.h>
#include <maya/MPxCommand.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>
#include <maya/MSyntax.h>

namespace {

MSyntax bindLikeSyntax()
{
    MSyntax syntax;
    syntax.addFlag("-n", "-name", MSyntax::kString);
    syntax.addFlag("-c", "-count", MSyntax::kLong);
    syntax.addFlag("-s", "-scale", MSyntax::kDouble);
    syntax.addFlag("-on", "-enabled", MSyntax::kBoolean);
    syntax.addFlag("-t", "-tag", MSyntax::kString);
    syntax.makeFlagMultiUse("-t");
    syntax.addFlag("-p", "-pair", MSyntax::kLong, MSyntax::kString);
    syntax.addFlag("-d", "-distance", MSyntax::kDistance);
    syntax.setObjectType(MSyntax::kSelectionList, 1, 2);
    syntax.useSelectionAsDefault(true);
    syntax.enableQuery(true);
    return syntax;
}

struct ParseOutcome
{
    bool ran = false;
    bool query = false;
    MString name;
    MStringArray objects;
    MSelectionList selection;
};

ParseOutcome& lastParse()
{
    static ParseOutcome outcome;
    return outcome;
}

// testParse: parses its arguments with bindLikeSyntax() through syntax().
class ParseCommand : public MPxCommand
{
public:
    static void* creator() { return new ParseCommand; }
    MStatus doIt(const MArgList& args) override
    {
        MStatus status;
        MArgDatabase db(syntax(), args, &status);
        if (!status)
            return status;
        ParseOutcome& outcome = lastParse();
        outcome.ran = true;
        outcome.query = db.isQuery();
        db.getFlagArgument("-name", 0, outcome.name);
        db.getObjects(outcome.objects);
        db.getObjects(outcome.selection);
        return MS::kSuccess;
    }
};

class ArgumentParsing : public CommandTest
{
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        static bool registered = false;
        if (!registered) {
            registered = true;
            host::registerBuiltinCommand("testParse", ParseCommand::creator, bindLikeSyntax);
        }
        lastParse() = ParseOutcome();
    }

    // Builds an argument list the way code does: "-x" strings become flags.
    static MArgList args(std::initializer_list<const char*> words)
    {
        MArgList list;
        for (const char* word : words)
            list.addArg(MString(word));
        return list;
    }
};

} // namespace

TEST_F(ArgumentParsing, ShortAndLongNamesReadTheSameTypedValues)
{
    ASSERT_EQ(run("createNode transform -n \"driver\";"), MS::kSuccess);
    MArgList list;
    host::addArgs(list, MString("-name"), MString("rig"), MString("-c"), 7);
    host::addArgs(list, MString("-scale"), 3, MString("-on"), MString("off"));
    host::addArgs(list, MString("-p"), 2, MString("two"), MString("-d"), 1.5);
    host::addArgs(list, MString("-t"), MString("a"), MString("-tag"), MString("b"));
    list.addArg(MString("driver"));

    MStatus status;
    MArgParser parser(bindLikeSyntax(), list, &status);
    ASSERT_EQ(status, MS::kSuccess) << errors();
    EXPECT_EQ(parser.flagArgumentString("-n", 0), MString("rig"));
    EXPECT_EQ(parser.flagArgumentString("-name", 0), MString("rig"));
    EXPECT_EQ(parser.flagArgumentInt("-count", 0), 7);
    EXPECT_DOUBLE_EQ(parser.flagArgumentDouble("-s", 0), 3.0);
    EXPECT_FALSE(parser.flagArgumentBool("-enabled", 0, &status));
    EXPECT_EQ(status, MS::kSuccess);
    EXPECT_EQ(parser.flagArgumentInt("-pair", 0), 2);
    EXPECT_EQ(parser.flagArgumentString("-pair", 1), MString("two"));
    MDistance distance;
    EXPECT_EQ(parser.getFlagArgument("-d", 0, distance), MS::kSuccess);
    EXPECT_DOUBLE_EQ(distance.asUnits(MDistance::kCentimeters), 1.5);

    // A multi-use flag keeps every use, in order.
    ASSERT_EQ(parser.numberOfFlagUses("-t"), 2u);
    MArgList second;
    ASSERT_EQ(parser.getFlagArgumentList("-tag", 1, second), MS::kSuccess);
    EXPECT_EQ(second.asString(0), MString("b"));
    EXPECT_EQ(parser.getFlagArgumentList("-t", 2, second), MS::kFailure);

    // Asking beyond what was given fails instead of inventing values.
    parser.flagArgumentString("-name", 1, &status);
    EXPECT_NE(status, MS::kSuccess);
    int notGiven = -1;
    EXPECT_NE(MArgParser(bindLikeSyntax(), args({"-n", "x", "driver"}), &status).getFlagArgument("-c", 0, notGiven),
              MS::kSuccess);
    EXPECT_EQ(notGiven, -1);
}

TEST_F(ArgumentParsing, RefusesUnknownFlagsAndBadArgumentsWithClearErrors)
{
    struct Case
    {
        MArgList list;
        MStatus::MStatusCode code;
        const char* message;
    };
    MArgList badCount;
    host::addArgs(badCount, MString("-count"), MString("many"));
    MArgList fractionalCount;
    host::addArgs(fractionalCount, MString("-c"), 2.5);
    MArgList badBool;
    host::addArgs(badBool, MString("-on"), MString("maybe"));
    const Case cases[] = {
        {args({"-bogus"}), MS::kFailure, "Invalid flag: -bogus"},
        {badCount, MS::kInvalidParameter, "Flag -count expects an integer argument, not \"many\"."},
        {fractionalCount, MS::kInvalidParameter, "Flag -count expects an integer argument, not \"2.5\"."},
        {badBool, MS::kInvalidParameter, "Flag -enabled expects a boolean argument, not \"maybe\"."},
        {args({"-name"}), MS::kFailure, "Flag -name requires a string argument."},
        {args({"-name", "-count", "3"}), MS::kFailure, "Flag -name requires a string argument."},
        {args({"-n", "a", "-name", "b"}), MS::kFailure, "Flag -name can be used only once."},
        {args({"-edit"}), MS::kFailure, "Edit mode is not supported."},
    };
    for (const Case& c : cases) {
        clearMessages();
        MStatus status;
        MArgDatabase db(bindLikeSyntax(), c.list, &status);
        EXPECT_EQ(status, c.code) << c.message;
        EXPECT_EQ(errors(), std::string(c.message) + "\n");
        // A failed parse answers nothing.
        EXPECT_FALSE(db.isFlagSet("-n"));
    }
}

TEST_F(ArgumentParsing, QueryModeTakesNoFlagArgumentsAndNeedsSupport)
{
    ASSERT_EQ(run("createNode transform -n \"driver\";"), MS::kSuccess);
    MStatus status;
    MArgParser query(bindLikeSyntax(), args({"-q", "-name", "driver"}), &status);
    ASSERT_EQ(status, MS::kSuccess) << errors();
    EXPECT_TRUE(query.isQuery());
    EXPECT_TRUE(query.isFlagSet("-n"));
    MStringArray objects;
    query.getObjects(objects);
    ASSERT_EQ(objects.length(), 1u);
    EXPECT_EQ(objects[0], MString("driver"));

    MSyntax noQuery;
    noQuery.addFlag("-n", "-name", MSyntax::kString);
    MArgParser refused(noQuery, args({"-query", "-n"}), &status);
    EXPECT_EQ(status, MS::kFailure);
    EXPECT_EQ(errors(), "Query mode is not supported.\n");
}

TEST_F(ArgumentParsing, ObjectsResolveOrComeFromTheSelectionAndErrorsNameTheCommand)
{
    ASSERT_EQ(run("createNode transform -n \"driver\"; createNode transform -n \"patch\";"), MS::kSuccess);

    ASSERT_EQ(run("testParse -n rig driver;"), MS::kSuccess) << errors();
    EXPECT_EQ(lastParse().name, MString("rig"));
    ASSERT_EQ(lastParse().selection.length(), 1u);
    MObject node;
    ASSERT_EQ(lastParse().selection.getDependNode(0, node), MS::kSuccess);
    EXPECT_FALSE(node.isNull());

    // No objects on the command line: the active selection, in its order.
    ASSERT_EQ(MGlobal::selectByName("patch", MGlobal::kReplaceList), MS::kSuccess);
    ASSERT_EQ(MGlobal::selectByName("driver", MGlobal::kAddToList), MS::kSuccess);
    lastParse() = ParseOutcome();
    ASSERT_EQ(run("testParse;"), MS::kSuccess) << errors();
    ASSERT_EQ(lastParse().objects.length(), 2u);
    EXPECT_NE(std::string(lastParse().objects[0].asChar()).find("patch"), std::string::npos);
    EXPECT_NE(std::string(lastParse().objects[1].asChar()).find("driver"), std::string::npos);

    // Nothing given and nothing selected: too few objects.
    ASSERT_EQ(MGlobal::clearSelectionList(), MS::kSuccess);
    clearMessages();
    EXPECT_NE(run("testParse;"), MS::kSuccess);
    EXPECT_EQ(errors(), "testParse: Expected at least 1 object, got 0.\n");

    // Errors raised inside a command name it.
    lastParse() = ParseOutcome();
    clearMessages();
    EXPECT_NE(run("testParse -bogus driver;"), MS::kSuccess);
    EXPECT_EQ(errors(), "testParse: Invalid flag: -bogus\n");
    EXPECT_FALSE(lastParse().ran);

    clearMessages();
    EXPECT_NE(run("testParse driver nowhere;"), MS::kSuccess);
    EXPECT_EQ(errors(), "testParse: No object matches name: nowhere\n");

    clearMessages();
    run("createNode transform -n \"a\"; createNode transform -n \"b\";");
    EXPECT_NE(run("testParse a b driver;"), MS::kSuccess);
    EXPECT_EQ(errors(), "testParse: Expected at most 2 objects, got 3.\n");
}

TEST_F(ArgumentParsing, SyntaxDefinitionsRefuseContradictions)
{
    MSyntax syntax;
    EXPECT_EQ(syntax.addFlag("-n", "-name", MSyntax::kString), MS::kSuccess);
    EXPECT_NE(syntax.addFlag("-n", "-number"), MS::kSuccess) << "short name taken";
    EXPECT_NE(syntax.addFlag("-nm", "-name"), MS::kSuccess) << "long name taken";
    EXPECT_NE(syntax.addFlag("-q", "-quiet"), MS::kSuccess) << "-q belongs to query mode";
    EXPECT_NE(syntax.addFlag("x", "-x"), MS::kSuccess) << "names start with '-'";
    EXPECT_NE(syntax.addFlag("-a", "-after", MSyntax::kNoArg, MSyntax::kLong), MS::kSuccess);
    EXPECT_NE(syntax.makeFlagMultiUse("-unknown"), MS::kSuccess);
    EXPECT_NE(syntax.setObjectType(MSyntax::kStringObjects, 3, 2), MS::kSuccess);
    EXPECT_EQ(syntax.setObjectType(MSyntax::kStringObjects, 1, 1), MS::kSuccess);

    // Positional command arguments come before the objects and are typed.
    syntax.addArg(MSyntax::kDouble);
    MStatus status;
    MArgParser parser(syntax, args({"2.5", "thing"}), &status);
    ASSERT_EQ(status, MS::kSuccess) << errors();
    EXPECT_DOUBLE_EQ(parser.commandArgumentDouble(0), 2.5);
    MStringArray objects;
    parser.getObjects(objects);
    ASSERT_EQ(objects.length(), 1u);
    EXPECT_EQ(objects[0], MString("thing"));
    MArgParser wrong(syntax, args({"thing", "other"}), &status);
    EXPECT_EQ(status, MS::kInvalidParameter);
}
