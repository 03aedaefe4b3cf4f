// Modifier undo as commands rely on it: only what a modifier ran is undone, and a
// connection it made gives the destination back its earlier value.

#include "support/HostFixture.h"

#include <maya/MDGModifier.h>

namespace {

class ModifierUndo : public HostFixture
{
};

} // namespace

TEST_F(ModifierUndo, UndoingAConnectionRestoresTheDestinationsValue)
{
    MObject a = create("transform", "a");
    MObject b = create("transform", "b");
    ASSERT_TRUE(plug(a, "translateX").setValue(5.0));
    ASSERT_TRUE(plug(b, "translateX").setValue(3.0));

    MDGModifier modifier;
    ASSERT_TRUE(modifier.connect(plug(a, "translateX"), plug(b, "translateX")));
    ASSERT_TRUE(modifier.doIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateX").asDouble(), 5.0);

    ASSERT_TRUE(modifier.undoIt());
    EXPECT_FALSE(plug(b, "translateX").isConnected());
    EXPECT_DOUBLE_EQ(plug(b, "translateX").asDouble(), 3.0);

    // Redo connects again; a broken connection keeps the last value it carried.
    ASSERT_TRUE(modifier.doIt());
    MDGModifier breaker;
    ASSERT_TRUE(breaker.disconnect(plug(a, "translateX"), plug(b, "translateX")));
    ASSERT_TRUE(breaker.doIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateX").asDouble(), 5.0);
}

TEST_F(ModifierUndo, UndoAfterAFailedDoItRevertsOnlyWhatRan)
{
    MObject a = create("transform", "a");
    MObject b = create("transform", "b");
    MObject c = create("transform", "c");
    ASSERT_TRUE(plug(c, "translateZ").setValue(1.0));
    MDGModifier driver;
    ASSERT_TRUE(driver.connect(plug(a, "translateZ"), plug(b, "translateZ")));
    ASSERT_TRUE(driver.doIt());

    MDGModifier modifier;
    ASSERT_TRUE(modifier.newPlugValueDouble(plug(b, "translateY"), 2.0));
    ASSERT_TRUE(modifier.connect(plug(c, "translateZ"), plug(b, "translateZ")));  // already driven
    ASSERT_TRUE(modifier.newPlugValueDouble(plug(b, "rotateX"), 9.0));
    EXPECT_FALSE(modifier.doIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateY").asDouble(), 2.0);
    EXPECT_DOUBLE_EQ(plug(b, "rotateX").asDouble(), 0.0);

    // A value set since must survive: the write that never ran has nothing to undo.
    ASSERT_TRUE(plug(b, "rotateX").setValue(7.0));
    ASSERT_TRUE(modifier.undoIt());
    EXPECT_DOUBLE_EQ(plug(b, "translateY").asDouble(), 0.0);
    EXPECT_DOUBLE_EQ(plug(b, "rotateX").asDouble(), 7.0);
    EXPECT_EQ(plug(b, "translateZ").source(), plug(a, "translateZ"));

    // A modifier that never ran undoes nothing.
    MDGModifier unused;
    ASSERT_TRUE(unused.newPlugValueDouble(plug(b, "rotateX"), 1.0));
    ASSERT_TRUE(unused.undoIt());
    EXPECT_DOUBLE_EQ(plug(b, "rotateX").asDouble(), 7.0);
}
