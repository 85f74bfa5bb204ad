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
