#include "hook/hook_decision.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr HotKeys kKeys{0x59, 0x55, 0x50};  // Y, U, P
// Keystroke flags: a first press, its auto-repeat and its release (scan code of Y).
constexpr std::uintptr_t kPress = 0x00150001;
constexpr std::uintptr_t kRepeat = 0x40150001;
constexpr std::uintptr_t kRelease = 0xC0150001;
static_assert(HotKeyMode(3, 0x50, kPress, kKeys) == 2, "cheap enough to run at compile time");

TEST(HotKeyMode, CodeAndWholeKeyDecide) {
    EXPECT_EQ(HotKeyMode(0, 0x59, kPress, kKeys), 0);
    EXPECT_EQ(HotKeyMode(3, 0x55, kPress, kKeys), 1);
    EXPECT_EQ(HotKeyMode(0, 0x50, kPress, kKeys), 2);
    for (int code : {1, 2, 4, -1}) EXPECT_EQ(HotKeyMode(code, 0x59, kPress, kKeys), kPassOn) << code;
    EXPECT_EQ(HotKeyMode(0, 0x49, kPress, kKeys), kPassOn);
    EXPECT_EQ(HotKeyMode(0, (std::uintptr_t{1} << 31) | 0x59, kPress, kKeys), kPassOn);  // no truncation
    EXPECT_EQ(HotKeyMode(0, 0x10059, kPress, kKeys), kPassOn);
    EXPECT_EQ(HotKeyMode(0, 0, kPress, HotKeys{0, 0, 0}), 0);  // before SetHotKeys only code 0 matches
}

TEST(HotKeyMode, OnlyAFreshPressOpens) {
    for (int code : {0, 3}) {
        EXPECT_EQ(HotKeyMode(code, 0x59, kPress, kKeys), 0) << code;
        EXPECT_EQ(HotKeyMode(code, 0x59, kRepeat, kKeys), kPassOn) << code;
        EXPECT_EQ(HotKeyMode(code, 0x59, kRelease, kKeys), kPassOn) << code;
        // A release whose previous-state bit is clear is still a release.
        EXPECT_EQ(HotKeyMode(code, 0x55, 0x80160001, kKeys), kPassOn) << code;
    }
    // The repeat count and the scan code take no part.
    EXPECT_EQ(HotKeyMode(0, 0x50, 0x3FFFFFFF, kKeys), 2);
    EXPECT_EQ(HotKeyMode(0, 0x50, 0, kKeys), 2);
}

TEST(HotKeyMode, TopBitKeysWidenWithSignAndMatchNoKeyCode) {
    const HotKeys high{std::int16_t(0x8000), std::int16_t(0xFFFF), std::int16_t(0x80FF)};
    for (std::uintptr_t w : {0x8000u, 0xFFFFu, 0x80FFu, 0xFFu, 0u}) EXPECT_EQ(HotKeyMode(0, w, kPress, high), kPassOn) << w;
    EXPECT_EQ(HotKeyMode(0, 0x7FFF, kPress, HotKeys{0x7FFF, 0, 0}), 0);
}

TEST(HotKeyMode, EarlierKeyWinsWhenCodesAreShared) {
    EXPECT_EQ(HotKeyMode(0, 0x59, kPress, HotKeys{0x59, 0x59, 0x50}), 0);
    EXPECT_EQ(HotKeyMode(0, 0x55, kPress, HotKeys{0x59, 0x55, 0x55}), 1);
}

// Records each question: C cursor, A active window, V box visible, F edit focused,
// P active window is the box's parent, G game executable.
struct RecordingProbe {
    bool cursor = false, active = true, visible = false, game = true;
    bool editFocused = true, boxParentActive = true;
    std::string asked;
    bool HasCursor() { return asked += 'C', cursor; }
    bool HasActiveWindow() { return asked += 'A', active; }
    bool ChatBoxOpenAndVisible() { return asked += 'V', visible; }
    bool EditHasFocus() { return asked += 'F', editFocused; }
    bool ActiveWindowIsBoxParent() { return asked += 'P', boxParentActive; }
    bool ActiveWindowIsGame() { return asked += 'G', game; }
};

TEST(DecideHook, ProbeIsAskedOnlyForHotKeysInOrderUntilTheFirstNo) {
    RecordingProbe idle;
    EXPECT_EQ(DecideHook(0, 0x41, kPress, kKeys, idle), kPassOn);
    EXPECT_EQ(DecideHook(1, 0x59, kPress, kKeys, idle), kPassOn);
    EXPECT_EQ(DecideHook(0, 0x59, kRelease, kKeys, idle), kPassOn);
    EXPECT_EQ(DecideHook(3, 0x59, kRepeat, kKeys, idle), kPassOn);
    EXPECT_EQ(idle.asked, "");
    const struct { RecordingProbe probe; int mode; const char* asked; } cases[] = {
        {{false, true, false, true, true, true, {}}, 1, "CAVG"},
        {{true, true, false, true, true, true, {}}, kPassOn, "C"},
        {{false, false, false, true, true, true, {}}, kPassOn, "CA"},
        {{false, true, true, true, true, true, {}}, kPassOn, "CAVF"},
        {{false, true, false, false, true, true, {}}, kPassOn, "CAVG"},
    };
    for (auto c : cases) {
        EXPECT_EQ(DecideHook(3, 0x55, kPress, kKeys, c.probe), c.mode) << c.asked;
        EXPECT_EQ(c.probe.asked, c.asked);
    }
}

TEST(DecideHook, VisibleBoxWithoutTheFocusTakesItBackOnlyOverItsOwnWindow) {
    // Typed into the edit when it has the focus; the edit gets it back when the game
    // window is active; an active message box of the thread keeps it.
    const struct { bool editFocused, boxParentActive; int decision; const char* asked; } cases[] = {
        {true, true, kPassOn, "CAVF"},
        {false, true, kRefocusBox, "CAVFP"},
        {false, false, kPassOn, "CAVFP"},
    };
    for (const auto& c : cases) {
        RecordingProbe probe;
        probe.visible = true;
        probe.game = false;  // never asked: only a game's process has a box
        probe.editFocused = c.editFocused;
        probe.boxParentActive = c.boxParentActive;
        EXPECT_EQ(DecideHook(0, 0x59, kPress, kKeys, probe), c.decision) << c.asked;
        EXPECT_EQ(probe.asked, c.asked);
    }
}

}  // namespace
