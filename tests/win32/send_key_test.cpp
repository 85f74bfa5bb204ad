// The synthetic send key as a focused window of this process receives it.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "chatbox/send_key_win32.h"
#include "window_test_support.h"

namespace {

struct KeyMessage {
    UINT message;
    WPARAM key;
    unsigned scanCode;
    bool extended;
};

std::vector<KeyMessage>* g_keys = nullptr;

LRESULT CALLBACK RecordKeys(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_KEYDOWN || message == WM_KEYUP) && g_keys != nullptr) {
        g_keys->push_back(
            {message, wParam, static_cast<unsigned>((lParam >> 16) & 0xFF), ((lParam >> 24) & 1) != 0});
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<KeyMessage> KeysAfterPress(std::uint16_t code) {
    testsupport::GameWindow game;
    SetWindowLongPtrW(game.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordKeys));
    EXPECT_TRUE(game.BringToForeground());
    ::SetFocus(game.Handle());
    std::vector<KeyMessage> keys;
    g_keys = &keys;
    PressSendKey(code);
    testsupport::PumpUntil([&] { return keys.size() >= 2; });
    g_keys = nullptr;
    SetWindowLongPtrW(game.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
    return keys;
}

// The game tells keys apart by these scan codes (set 1, as a PC keyboard sends
// them), so they are written out here rather than asked of the system the way the
// code under test asks.
constexpr unsigned kScanF12 = 0x58;

TEST(PressSendKey, F12GoesDownThenUpWithItsScanCode) {
    const auto keys = KeysAfterPress(VK_F12);
    ASSERT_EQ(keys.size(), 2u);
    const unsigned scanCode = kScanF12;
    EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[0].key, static_cast<WPARAM>(VK_F12));
    EXPECT_EQ(keys[0].scanCode, scanCode);
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(keys[1].key, static_cast<WPARAM>(VK_F12));
    EXPECT_EQ(keys[1].scanCode, scanCode);
    EXPECT_FALSE(keys[0].extended);
    EXPECT_FALSE(keys[1].extended);
}

TEST(PressSendKey, TheSixKeysOfTheKeypadsScanCodesCarryTheExtendedFlag) {
    // The keypad's 0, '.', 7, 1, 9 and 3 keys send these codes without the flag.
    const struct {
        std::uint16_t code;
        unsigned scanCode;
    } keysOfTheBlock[] = {{VK_INSERT, 0x52}, {VK_DELETE, 0x53}, {VK_HOME, 0x47},
                          {VK_END, 0x4F},    {VK_PRIOR, 0x49},  {VK_NEXT, 0x51}};
    for (const auto [code, scanCode] : keysOfTheBlock) {
        SCOPED_TRACE(code);
        const auto keys = KeysAfterPress(code);
        ASSERT_EQ(keys.size(), 2u);
        for (const KeyMessage& key : keys) {
            EXPECT_EQ(key.key, static_cast<WPARAM>(code));
            EXPECT_EQ(key.scanCode, scanCode);
            EXPECT_TRUE(key.extended);
        }
    }
}

TEST(PressSendKey, OnlyTheLowByteNamesTheKey) {
    const auto keys = KeysAfterPress(0x0100 | VK_F12);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].key, static_cast<WPARAM>(VK_F12));
    EXPECT_EQ(keys[1].key, static_cast<WPARAM>(VK_F12));
}

TEST(PressSendKey, CodeZeroIsStillPressedAndReleased) {
    const auto keys = KeysAfterPress(0);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[0].key, 0u);
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_EQ(keys[1].key, 0u);
}

}  // namespace
