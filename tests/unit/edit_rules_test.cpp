#include "chatbox/edit_rules.h"

#include <gtest/gtest.h>

#include <limits>

TEST(EditKeys, TabEnterAndEscapeAreForwardedToTheDialog) {
    EXPECT_EQ(ClassifyKeyDown(9), KeyForward::nextControl);
    EXPECT_EQ(ClassifyKeyDown(13), KeyForward::enter);
    EXPECT_EQ(ClassifyKeyDown(27), KeyForward::escape);
    for (unsigned key : {0u, 0x26u, 0x10Du})
        EXPECT_EQ(ClassifyKeyDown(key), KeyForward::defaultProcessing) << key;
    EXPECT_EQ(EN_KEY_ENTER, 0x1001u);
    EXPECT_EQ(EN_KEY_ESCAPE, 0x1002u);
}

TEST(EditKeys, OnlyCarriageReturnAndEscapeCharactersAreDropped) {
    EXPECT_FALSE(KeepsCharacter(13));
    EXPECT_FALSE(KeepsCharacter(27));
    for (unsigned c : {9u, 10u, 0x4F60u, 0x10Du})
        EXPECT_TRUE(KeepsCharacter(c)) << c;
}

namespace {

// Drives the rules as the edit does: a list of n entries, the index, and the
// change notification that every shown entry causes.
struct Walk {
    std::int32_t size;
    std::int32_t index;
    std::string shown = "-";

    void Key(unsigned key) {
        const NavigationStep step = Navigate(key, index, size, true);
        if (step.kind != NavigationStep::show) return;
        index = step.index;
        shown = std::string(1, static_cast<char>('a' + step.index));
        if (auto next = IndexAfterChange(true, size)) index = *next;
    }
    void Typed() {
        if (auto next = IndexAfterChange(false, size)) index = *next;
    }
};

}  // namespace

TEST(HistoryNavigation, WalksTheListAndStopsAtBothEnds) {
    Walk walk{3, 3};
    walk.Key(kVirtualKeyUp);
    EXPECT_EQ(walk.shown, "c");
    walk.Key(kVirtualKeyUp);
    EXPECT_EQ(walk.shown, "b");
    walk.Key(kVirtualKeyDown);
    EXPECT_EQ(walk.shown, "c");
    walk.Key(kVirtualKeyDown);
    EXPECT_EQ(walk.shown, "c");
    EXPECT_EQ(walk.index, 2);
    walk.Key(kVirtualKeyUp);
    walk.Key(kVirtualKeyUp);
    walk.Key(kVirtualKeyUp);
    EXPECT_EQ(walk.shown, "a");
    EXPECT_EQ(walk.index, 0);
    walk.Key(kVirtualKeyDown);
    walk.Typed();
    EXPECT_EQ(walk.index, 3);
    walk.Key(kVirtualKeyUp);
    EXPECT_EQ(walk.shown, "c");
}

TEST(HistoryNavigation, BoundsAreConsumedAndOtherKeysForwarded) {
    EXPECT_EQ(Navigate(kVirtualKeyUp, 0, 3, true).kind, NavigationStep::consumed);
    EXPECT_EQ(Navigate(kVirtualKeyUp, -1, 0, true).kind, NavigationStep::consumed);
    EXPECT_EQ(Navigate(kVirtualKeyDown, -1, 0, true).kind, NavigationStep::consumed);
    EXPECT_EQ(Navigate(kVirtualKeyDown, 2, 3, true).kind, NavigationStep::consumed);
    // Down from before the first change walks into the list.
    const NavigationStep fromStart = Navigate(kVirtualKeyDown, -1, 3, true);
    EXPECT_EQ(fromStart.kind, NavigationStep::show);
    EXPECT_EQ(fromStart.index, 0);
    EXPECT_EQ(Navigate(kVirtualKeyReturn, 2, 3, true).kind, NavigationStep::notNavigation);
    // Extreme values neither overflow nor leave the list.
    constexpr std::int32_t low = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t high = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(Navigate(kVirtualKeyUp, low, 3, true).kind, NavigationStep::consumed);
    EXPECT_EQ(Navigate(kVirtualKeyDown, high, high, true).kind, NavigationStep::consumed);
    // History off: Up and Down get the standard edit's own handling.
    EXPECT_EQ(Navigate(kVirtualKeyUp, 3, 3, false).kind, NavigationStep::notNavigation);
    EXPECT_EQ(Navigate(kVirtualKeyDown, 0, 3, false).kind, NavigationStep::notNavigation);
    EXPECT_EQ(IndexAfterChange(false, 0), 0);
}
