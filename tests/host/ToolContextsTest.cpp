// Tool contexts and manipulator settings as scripts see them: setToolTo,
// currentCtx, contextInfo, the manip*Context queries and edits, and
// manipOptions feeding MFnManip3D.

#include "CommandTestSupport.h"

#include "views/ToolContexts.h"

#include <maya/MDoubleArray.h>
#include <maya/MEventMessage.h>
#include <maya/MMessage.h>
#include <maya/MFnManip3D.h>

#include <string>

namespace {

class ToolContexts : public CommandTest
{
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        restoreDefaults();
    }
    void TearDown() override
    {
        restoreDefaults();
        CommandTest::TearDown();
    }
    static void restoreDefaults()
    {
        host::resetToolContexts();
        MFnManip3D::setGlobalSize(1.0f);
        MFnManip3D::setHandleSize(10);
        MFnManip3D::setLineSize(1.0f);
        MFnManip3D::setDrawPlaneHandles(true);
    }
};

TEST_F(ToolContexts, SetToolToSwitchesTheCurrentContextAndItsClass)
{
    EXPECT_EQ(answer("currentCtx"), "selectSuperContext");
    EXPECT_EQ(answer("contextInfo -q -class `currentCtx`"), "selectTool");

    const struct
    {
        const char* context;
        const char* cls;
    } tools[] = {
        {"moveSuperContext", "manipMove"},
        {"RotateSuperContext", "manipRotate"},
        {"scaleSuperContext", "manipScale"},
        {"selectSuperContext", "selectTool"},
    };
    // Each change tells the tool's watchers, first "ToolChanged", then "PostToolChanged".
    std::string told;
    auto tell = [](void* data) { *static_cast<std::string*>(data) += "T"; };
    auto tellAfter = [](void* data) { *static_cast<std::string*>(data) += "P"; };
    const MCallbackId ids[] = {MEventMessage::addEventCallback("ToolChanged", tell, &told),
                               MEventMessage::addEventCallback("PostToolChanged", tellAfter, &told)};
    for (const auto& tool : tools) {
        told.clear();
        EXPECT_EQ(run(std::string("setToolTo ") + tool.context), MS::kSuccess) << errors();
        EXPECT_EQ(answer("currentCtx"), tool.context);
        EXPECT_EQ(answer("contextInfo -c `currentCtx`"), tool.cls);
        EXPECT_EQ(told, "TP") << tool.context;
    }
    told.clear();
    EXPECT_NE(run("setToolTo noSuchContext"), MS::kSuccess);
    EXPECT_EQ(told, "");
    for (const MCallbackId id : ids)
        MMessage::removeCallback(id);
    EXPECT_EQ(answer("contextInfo -q -class \"Rotate\""), "manipRotate");
    EXPECT_EQ(answer("contextInfo -exists Move"), "1");
    EXPECT_EQ(answer("contextInfo -exists lassoContext"), "0");
}

TEST_F(ToolContexts, UnknownContextsAreRefusedAndTheToolStays)
{
    run("setToolTo moveSuperContext");
    EXPECT_EQ(failure("setToolTo rotateSuperContext"), "setToolTo: Context 'rotateSuperContext' not found.\n");
    EXPECT_EQ(answer("currentCtx"), "moveSuperContext");
    EXPECT_EQ(failure("setToolTo"), "setToolTo: expects the name of one tool context.\n");
    EXPECT_EQ(failure("contextInfo -q -class nowhere"), "contextInfo: Context 'nowhere' not found.\n");
    EXPECT_EQ(failure("contextInfo Move"),
              "contextInfo: use one of -class and -exists with the name of one context.\n");
}

TEST_F(ToolContexts, ContextsStartAtMayasDefaultsAndEditsReachOnlyTheirOwn)
{
    EXPECT_EQ(answer("manipRotateContext -q -mode Rotate"), "0");
    EXPECT_EQ(answer("manipRotateContext -q -vis Rotate"), "1");
    ASSERT_EQ(run("manipMoveContext -e -mode 6 -orientAxes 0.5 -0.25 1.5 Move"), MS::kSuccess) << errors();
    ASSERT_EQ(run("manipScaleContext -e -manipVisible false Scale"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("manipMoveContext -q -mode Move"), "6");
    host::MelValue axes;
    ASSERT_EQ(run("manipMoveContext -q -oa Move", &axes), MS::kSuccess) << errors();
    const MDoubleArray a = axes.asDoubleArray();
    ASSERT_EQ(a.length(), 3u);
    EXPECT_EQ(a[0], 0.5);
    EXPECT_EQ(a[1], -0.25);
    EXPECT_EQ(a[2], 1.5);
    EXPECT_EQ(answer("manipScaleContext -q -manipVisible Scale"), "0");
    EXPECT_EQ(answer("manipScaleContext -q -mode Scale"), "2");
    EXPECT_EQ(answer("manipMoveContext -q -manipVisible Move"), "1");
    host::MelValue scaleAxes;
    ASSERT_EQ(run("manipScaleContext -query -orientAxes Scale", &scaleAxes), MS::kSuccess);
    EXPECT_EQ(scaleAxes.asDoubleArray()[0], 0.0);
}

TEST_F(ToolContexts, BadEditsTakenNamesAndContextsOfAnotherKindAreRefusedChangingNothing)
{
    EXPECT_EQ(failure("manipRotateContext -e -mode 4 Rotate"),
              "manipRotateContext: -mode must be a whole number from 0 to 3, not \"4\".\n");
    EXPECT_EQ(failure("manipMoveContext -e -mode 1.5 -manipVisible 0 Move"),
              "manipMoveContext: -mode must be a whole number from 0 to 6, not \"1.5\".\n");
    EXPECT_EQ(answer("manipMoveContext -q -manipVisible Move"), "1");
    EXPECT_EQ(failure("manipMoveContext -e -orientAxes 1 2 Move"),
              "manipMoveContext: -orientAxes needs three angles.\n");
    EXPECT_EQ(failure("manipMoveContext -e -orientAxes 1 x 2 Move"),
              "manipMoveContext: -orientAxes needs three angles, not \"x\".\n");
    EXPECT_EQ(failure("manipMoveContext -q -mode Rotate"), "manipMoveContext: Context 'Rotate' not found.\n");
    EXPECT_EQ(failure("manipScaleContext -q -mode -manipVisible Scale"),
              "manipScaleContext: query one of -manipVisible, -mode and -orientAxes.\n");
    EXPECT_EQ(failure("manipMoveContext -q -e -mode Move"), "manipMoveContext: use -query or -edit, not both.\n");
    EXPECT_EQ(answer("manipMoveContext -q -mode Move"), "2");

    ASSERT_EQ(run("manipMoveContext myMove"), MS::kSuccess) << errors();
    EXPECT_EQ(failure("manipMoveContext -mode 0 myMove"), "manipMoveContext: Object's name 'myMove' is not unique.\n");
    EXPECT_EQ(failure("manipScaleContext myMove"), "manipScaleContext: Object's name 'myMove' is not unique.\n");
    EXPECT_EQ(failure("manipRotateContext selectSuperContext"),
              "manipRotateContext: Object's name 'selectSuperContext' is not unique.\n");
    EXPECT_EQ(answer("manipMoveContext -q -mode myMove"), "2");
    EXPECT_EQ(failure("manipScaleContext -q -mode myMove"), "manipScaleContext: Context 'myMove' not found.\n");
    EXPECT_EQ(failure("manipRotateContext -mode 5 wobbly"),
              "manipRotateContext: -mode must be a whole number from 0 to 3, not \"5\".\n");
    EXPECT_EQ(answer("contextInfo -exists wobbly"), "0");
    EXPECT_EQ(failure("manipMoveContext one two"), "manipMoveContext: unexpected argument \"one\".\n");
    EXPECT_EQ(answer("contextInfo -exists one"), "0");
}

TEST_F(ToolContexts, ManipContextsMadeByNameAreToolsOfTheirClassWithTheirOwnSettings)
{
    EXPECT_EQ(answer("manipMoveContext myMove"), "myMove");
    EXPECT_EQ(answer("contextInfo -q -class myMove"), "manipMove");
    EXPECT_EQ(answer("manipMoveContext -exists myMove"), "1");
    EXPECT_EQ(answer("manipRotateContext -exists spinner"), "0");
    ASSERT_EQ(run("setToolTo myMove"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("currentCtx"), "myMove");

    // Made with values of its own, from Maya's defaults; editing one leaves the other alone.
    EXPECT_EQ(answer("manipRotateContext -mode 2 -orientAxes 10 20 30 spinner"), "spinner");
    EXPECT_EQ(answer("contextInfo -c spinner"), "manipRotate");
    EXPECT_EQ(answer("manipRotateContext -q -mode spinner"), "2");
    EXPECT_EQ(answer("manipRotateContext -q -mode Rotate"), "0");
    host::MelValue axes;
    ASSERT_EQ(run("manipRotateContext -q -oa spinner", &axes), MS::kSuccess) << errors();
    ASSERT_EQ(axes.asDoubleArray().length(), 3u);
    EXPECT_EQ(axes.asDoubleArray()[2], 30.0);
    ASSERT_EQ(run("manipMoveContext -e -manipVisible 0 myMove"), MS::kSuccess) << errors();
    EXPECT_EQ(answer("manipMoveContext -q -vis myMove"), "0");
    EXPECT_EQ(answer("manipMoveContext -q -vis Move"), "1");
    EXPECT_EQ(answer("manipMoveContext -q -mode myMove"), "2");

    // Unnamed contexts take the command's name and the first free number.
    EXPECT_EQ(answer("manipScaleContext"), "manipScaleContext1");
    EXPECT_EQ(answer("manipScaleContext -oa 0 0 45"), "manipScaleContext2");
    EXPECT_EQ(answer("contextInfo -c manipScaleContext2"), "manipScale");

    host::resetToolContexts();
    EXPECT_EQ(answer("contextInfo -exists myMove"), "0");
}

TEST_F(ToolContexts, ManipOptionsSetsWhatManipulatorsRead)
{
    ASSERT_EQ(run("manipOptions -scale 1.5 -handleSize 24 -lineSize 3 -showPlaneHandles 0"), MS::kSuccess) << errors();
    EXPECT_EQ(MFnManip3D::globalSize(), 1.5f);
    EXPECT_EQ(MFnManip3D::handleSize(), 24);
    EXPECT_EQ(MFnManip3D::lineSize(), 3.0f);
    EXPECT_FALSE(MFnManip3D::drawPlaneHandles());
    EXPECT_EQ(answer("manipOptions -q -handleSize"), "24");
    EXPECT_EQ(answer("manipOptions -q -sph"), "0");

    ASSERT_EQ(run("manipOptions -r -s 2 -hs 0.5"), MS::kSuccess) << errors();
    EXPECT_EQ(MFnManip3D::globalSize(), 3.0f);
    EXPECT_EQ(MFnManip3D::handleSize(), 12);
    EXPECT_EQ(answer("manipOptions -q -scale"), "3");
}

TEST_F(ToolContexts, ManipOptionsRefusesSizesThatCannotBeDrawn)
{
    EXPECT_EQ(failure("manipOptions -scale 0"), "manipOptions: -scale needs a number greater than 0, not \"0\".\n");
    EXPECT_EQ(failure("manipOptions -lineSize 2 -handleSize -3"),
              "manipOptions: -handleSize needs a number greater than 0, not \"-3\".\n");
    EXPECT_EQ(failure("manipOptions -handleSize 0.2"), "manipOptions: -handleSize must come to 1 to 65535 pixels.\n");
    EXPECT_EQ(failure("manipOptions -r -hs 100000"), "manipOptions: -handleSize must come to 1 to 65535 pixels.\n");
    EXPECT_EQ(failure("manipOptions -q -scale -lineSize"),
              "manipOptions: query one of -scale, -handleSize, -lineSize and -showPlaneHandles.\n");
    EXPECT_EQ(MFnManip3D::lineSize(), 1.0f);
    EXPECT_EQ(MFnManip3D::handleSize(), 10);
}

} // namespace
