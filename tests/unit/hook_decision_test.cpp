#include "hook/hook_decision.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr HotKeys kKeys{0x59, 0x55, 0x50};  // Y, U, P

TEST(HotKeyMode, OnlyActionAndNoRemoveCodesAreLookedAt) {
    EXPECT_EQ(HotKeyMode(0, 0x59, kKeys), 0);
    EXPECT_EQ(HotKeyMode(3, 0x59, kKeys), 0);
    for (int code : {1, 2, 4, -1, -3})
        EXPECT_EQ(HotKeyMode(code, 0x59, kKeys), kPassOn) << code;
}

TEST(HotKeyMode, EachHotKeyGivesItsModeAndOthersPassOn) {
    EXPECT_EQ(HotKeyMode(0, 0x55, kKeys), 1);
    EXPECT_EQ(HotKeyMode(0, 0x50, kKeys), 2);
    EXPECT_EQ(HotKeyMode(0, 0x49, kKeys), kPassOn);
    // The whole wParam is compared, not its low bits.
    EXPECT_EQ(HotKeyMode(0, (std::uintptr_t{1} << 31) | 0x59, kKeys), kPassOn);
    EXPECT_EQ(HotKeyMode(0, 0x10059, kKeys), kPassOn);
}

TEST(HotKeyMode, KeysAreSignWidenedSoTopBitKeysMatchNoKeyCode) {
    const HotKeys high{static_cast<std::int16_t>(0x8000), static_cast<std::int16_t>(0xFFFF),
                       static_cast<std::int16_t>(0x80FF)};
    for (std::uintptr_t w : {std::uintptr_t{0x8000}, std::uintptr_t{0xFFFF}, std::uintptr_t{0x80FF},
                             std::uintptr_t{0xFF}, std::uintptr_t{0}})
        EXPECT_EQ(HotKeyMode(0, w, high), kPassOn) << w;
    const HotKeys topPositive{0x7FFF, 0, 0};
    EXPECT_EQ(HotKeyMode(0, 0x7FFF, topPositive), 0);
}

TEST(HotKeyMode, UnsetKeysMatchOnlyKeyCodeZero) {
    const HotKeys unset{0, 0, 0};
    EXPECT_EQ(HotKeyMode(0, 0, unset), 0);
    EXPECT_EQ(HotKeyMode(0, 0x59, unset), kPassOn);
}

TEST(HotKeyMode, EarlierKeyWinsWhenCodesAreShared) {
    EXPECT_EQ(HotKeyMode(0, 0x59, HotKeys{0x59, 0x59, 0x50}), 0);
    EXPECT_EQ(HotKeyMode(0, 0x55, HotKeys{0x59, 0x55, 0x55}), 1);
    EXPECT_EQ(HotKeyMode(0, 0x59, HotKeys{0x59, 0x59, 0x59}), 0);
}

static_assert(HotKeyMode(3, 0x50, kKeys) == 2, "usable at compile time");

// Answers as configured and records each question: C cursor, A active window,
// V box open and visible, G game executable.
struct RecordingProbe {
    bool cursor = false, active = true, visible = false, game = true;
    std::string asked;
    bool HasCursor() { asked += 'C'; return cursor; }
    bool HasActiveWindow() { asked += 'A'; return active; }
    bool ChatBoxOpenAndVisible() { asked += 'V'; return visible; }
    bool ActiveWindowIsGame() { asked += 'G'; return game; }
};

TEST(DecideHook, NonHotKeysNeverReachTheProbe) {
    RecordingProbe probe;
    EXPECT_EQ(DecideHook(0, 0x41, kKeys, probe), kPassOn);
    EXPECT_EQ(DecideHook(1, 0x59, kKeys, probe), kPassOn);
    EXPECT_EQ(DecideHook(-1, 0x59, kKeys, probe), kPassOn);
    EXPECT_EQ(probe.asked, "");
}

TEST(DecideHook, AsksInOrderAndStopsAtTheFirstReasonToPassOn) {
    struct Case {
        bool cursor, active, visible, game;
        int expected;
        const char* asked;
    } cases[] = {
        {false, true, false, true, 1, "CAVG"},
        {true, true, false, true, kPassOn, "C"},
        {false, false, false, true, kPassOn, "CA"},
        {false, true, true, true, kPassOn, "CAV"},
        {false, true, false, false, kPassOn, "CAVG"},
    };
    for (const Case& c : cases) {
        RecordingProbe probe{c.cursor, c.active, c.visible, c.game, {}};
        EXPECT_EQ(DecideHook(3, 0x55, kKeys, probe), c.expected) << c.asked;
        EXPECT_EQ(probe.asked, c.asked);
    }
}

TEST(PlaceChatBox, CentresWithTruncationTowardZeroAndStands20AboveTheBottom) {
    const Point narrow = PlaceChatBox(Rect{0, 0, 100, 50}, 105, 10);
    EXPECT_EQ(narrow.x, -2);  // -5 / 2 truncates to -2, not -3
    EXPECT_EQ(narrow.y, 20);
    const Point wide = PlaceChatBox(Rect{10, 5, 810, 605}, 300, 40);
    EXPECT_EQ(wide.x, 260);
    EXPECT_EQ(wide.y, 545);
    EXPECT_EQ(PlaceChatBox(Rect{-7, 0, 94, 30}, 100, 40).x, -7);  // 1/2 -> 0
    EXPECT_EQ(PlaceChatBox(Rect{0, 0, 100, 30}, 101, 40).x, 0);   // -1/2 -> 0
    EXPECT_EQ(PlaceChatBox(Rect{0, 0, 100, 30}, 101, 40).y, -30);
}

}  // namespace
