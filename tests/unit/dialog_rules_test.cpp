#include "chatbox/dialog_rules.h"

#include <gtest/gtest.h>

TEST(PromptStringId, EachModeHasItsPrompt) {
    EXPECT_EQ(PromptStringId(0), 101);
    EXPECT_EQ(PromptStringId(1), 102);
    EXPECT_EQ(PromptStringId(2), 103);
    EXPECT_EQ(PromptStringId(-1), 103);
    EXPECT_EQ(PromptStringId(3), 103);
}

TEST(StaysOpenAfterFocusLoss, OnlyAFocusInTheGameThreadKeepsTheBoxOpen) {
    EXPECT_TRUE(StaysOpenAfterFocusLoss(true, 40, 40));
    EXPECT_FALSE(StaysOpenAfterFocusLoss(true, 41, 40));
    EXPECT_FALSE(StaysOpenAfterFocusLoss(false, 40, 40));
    EXPECT_FALSE(StaysOpenAfterFocusLoss(true, 0, 0));
}

TEST(PlaceChatBox, CentredWithTruncationTowardZero20AboveTheBottom) {
    const Point narrow = PlaceChatBox(Rect{0, 0, 100, 50}, 105, 10);
    EXPECT_EQ(narrow.x, -2);  // -5 / 2 is -2, not -3
    EXPECT_EQ(narrow.y, 20);
    const Point wide = PlaceChatBox(Rect{10, 5, 811, 605}, 300, 40);
    EXPECT_EQ(wide.x, 260);
    EXPECT_EQ(wide.y, 545);
}
