// What the other players see: long messages reach them whole, as far as the box
// took them; every send key of the table fires the game's bind; and the
// stand-in game itself drops and cuts what the real game drops and cuts.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

constexpr size_t kLimit = 100;  // the bytes of UTF-8 the box takes

// What the box keeps of text typed into it one character at a time: a character
// goes in while it fits whole.
std::wstring KeptWhenTyped(const std::wstring& typed) {
    std::wstring kept;
    size_t bytes = 0;
    for (wchar_t c : typed) {
        const size_t size = drive::WideToUtf8(std::wstring(1, c)).size();
        if (bytes + size <= kLimit) kept += c, bytes += size;
    }
    return kept;
}

std::wstring Repeat(const std::wstring& text, int times) {
    std::wstring result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

class DeliveryTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(StartHost()) << HostLog().Read();
    }

    // Types `typed` into a box opened with `key`, checks that the box kept
    // `kept`, sends it and waits until the other players see it.
    void TypeAndSend(Game& game, WORD key, const std::wstring& typed, const std::wstring& kept,
                     const std::string& seenPrefix) {
        ChatBox box = OpenBox(game, key);
        ASSERT_TRUE(box.dialog) << game.log.Read();
        drive::TypeText(typed);
        ASSERT_TRUE(drive::WaitForWindowText(box.edit, kept)) << drive::WideToUtf8(drive::WindowText(box.edit));
        drive::TapKey(VK_RETURN);
        EXPECT_TRUE(game.log.WaitForLine(seenPrefix + drive::WideToUtf8(kept))) << game.log.Read();
        EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    }
};

TEST_F(DeliveryTest, LongMessagesReachThePlayersWholeAsFarAsTheBoxTookThem) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    const struct {
        const char* what;
        WORD key;
        std::wstring typed;
        const char* seen;
    } cases[] = {
        // 180 bytes typed: 33 characters (99 bytes) fit, the 34th would not.
        {"60 Chinese characters", drive::kSayKey, Repeat(L"\u5bf9\u4f60", 30), "said "},
        // The cut falls where a Chinese character no longer fits, a letter still does.
        {"Latin and Chinese", drive::kSayTeamKey, Repeat(L"ok \u4f60\u597d", 15), "said-team "},
        {"150 letters", drive::kRconKey, std::wstring(150, L'x'), "said-rcon "},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        const std::wstring kept = KeptWhenTyped(each.typed);
        ASSERT_LE(drive::WideToUtf8(kept).size(), kLimit);
        ASSERT_GE(drive::WideToUtf8(kept).size(), kLimit - 2);
        TypeAndSend(game, each.key, each.typed, kept, each.seen);
        EXPECT_EQ(game.log.Read().find("dropped"), std::string::npos) << game.log.Read();
    }
}

TEST_F(DeliveryTest, TheBoxShowsTheRoomLeftNearTheLimit) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog);
    HWND label = ::GetWindow(box.prompt, GW_HWNDNEXT);
    ASSERT_TRUE(label);
    EXPECT_EQ(drive::WindowText(label), L"Ver: 1.6");
    drive::TypeText(Repeat(L"\u4f60", 30));  // 90 bytes: 10 left
    EXPECT_TRUE(drive::WaitForWindowText(label, L"\u8fd8\u5269 10 \u5b57\u8282")) << drive::WideToUtf8(drive::WindowText(label));
    drive::TapKey(VK_ESCAPE);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
}

// Insert without the extended-key flag is the keypad's Insert to the game: the
// box presses these keys with the flag, so the host's bind of "INS" fires.
TEST_F(DeliveryTest, EverySendKeyOfTheTableFiresTheGamesBind) {
    const struct {
        const wchar_t* setting;
        const char* bind;
    } keys[] = {{L"Insert", "INS"}, {L"Delete", "DEL"},    {L"Home", "HOME"},
                {L"End", "END"},    {L"Page Up", "PGUP"}, {L"Page Dn", "PGDN"}};
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    for (const auto& key : keys) {
        SCOPED_TRACE(key.bind);
        drive::SetSetting(L"Send Key", std::wstring(key.setting));
        ASSERT_TRUE(drive::BindSendKey(Folder(), key.bind));
        // Both read once per process: the game's own start and the module's attach.
        Relaunch(game);
        ASSERT_TRUE(game.window);
        ASSERT_TRUE(game.log.WaitForLine(std::string("sendkey ") + key.bind)) << game.log.Read();
        TypeAndSend(game, drive::kSayKey, L"bound", L"bound", "said ");
    }
}

// The stand-in game is held to the real game's rules, with command files written
// by hand: what would be lost there is lost here.
TEST_F(DeliveryTest, TheStandInGameDropsAndCutsAsTheGameDoes) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    auto execute = [&](const std::string& command) {
        drive::WriteFileBytes(CfgPath(L"cstrike"), command);
        const size_t before = game.log.Count("exec " + command);
        drive::TapKey(VK_F12);
        EXPECT_TRUE(drive::FileExists(CfgPath(L"cstrike")));
        ASSERT_TRUE(SyncWithGame(game));
        EXPECT_EQ(game.log.Count("exec " + command), before + 1) << game.log.Read();
    };
    // 60 Chinese characters: 186 bytes, the 127th falls inside a character.
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += "\xE4\xBD\xA0";
    execute("say \"" + sixty + "\"");
    EXPECT_TRUE(game.log.Contains("dropped say: not UTF-8")) << game.log.Read();
    // 150 letters: 127 bytes kept, the quote and the last letter go, 108 remain.
    execute("say \"" + std::string(150, 'x') + "\"");
    EXPECT_TRUE(game.log.Contains("said " + std::string(108, 'x'))) << game.log.Read();
    // A team message keeps 109; a text without quotes loses nothing at its end.
    execute("say_team plain words");
    EXPECT_TRUE(game.log.Contains("said-team plain words")) << game.log.Read();

    // The keypad's Insert is no Insert to the game.
    ASSERT_TRUE(drive::BindSendKey(Folder(), "INS"));
    Relaunch(game);
    ASSERT_TRUE(game.window);
    drive::WriteFileBytes(CfgPath(L"cstrike"), "say \"ins\"");
    drive::TapKey(VK_INSERT);  // no extended-key flag: KP_INS
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(game.log.Contains("exec say \"ins\"")) << game.log.Read();
    drive::TapExtendedKey(VK_INSERT);
    EXPECT_TRUE(game.log.WaitForLine("said ins")) << game.log.Read();
}

}  // namespace
}  // namespace e2e
