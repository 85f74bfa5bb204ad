// What the other players see: long messages reach them whole, as far as the box
// took them; every send key of the table fires the game's bind; and the
// stand-in game itself drops and cuts what the real game drops and cuts.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

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
    // `kept`, sends it and waits until the other players see its parts.
    void TypeAndSend(Game& game, WORD key, const std::wstring& typed, const std::wstring& kept,
                     const std::string& seenPrefix, const std::vector<size_t>& partChars = {}) {
        ChatBox box = OpenBox(game, key);
        ASSERT_TRUE(box.dialog) << game.log.Read();
        drive::TypeText(typed);
        ASSERT_TRUE(drive::WaitForWindowText(box.edit, kept)) << drive::WideToUtf8(drive::WindowText(box.edit));
        drive::TapKey(VK_RETURN);
        size_t start = 0;
        for (size_t chars : partChars.empty() ? std::vector<size_t>{kept.size()} : partChars) {
            const std::string part = drive::WideToUtf8(kept.substr(start, chars));
            EXPECT_TRUE(game.log.WaitForLine(seenPrefix + part, 3 * drive::kDeadlineMs)) << game.log.Read();
            start += chars;
        }
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
        size_t keptChars;
        std::vector<size_t> partChars;
        const char* seen;
    } cases[] = {
        // 360 bytes typed: three parts of 33 characters (99 bytes) each fit, no more.
        {"120 Chinese characters", drive::kSayKey, Repeat(L"\u5bf9\u4f60", 60), 99, {33, 33, 33}, "said "},
        // A part ends after the last blank of its last quarter: "ok 你好" is 9 bytes
        // and a blank.
        {"Latin and Chinese", drive::kSayTeamKey, Repeat(L"ok \u4f60\u597d ", 15), 90, {60, 30}, "said-team "},
        {"350 letters", drive::kRconKey, std::wstring(350, L'x'), 300, {100, 100, 100}, "said-rcon "},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.what);
        TypeAndSend(game, each.key, each.typed, each.typed.substr(0, each.keptChars), each.seen, each.partChars);
        EXPECT_EQ(game.log.Read().find("dropped"), std::string::npos) << game.log.Read();
        EXPECT_EQ(game.log.Read().find("ignored"), std::string::npos) << game.log.Read();
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
    drive::TypeText(Repeat(L"\u4f60", 34));  // a second part begins
    EXPECT_TRUE(drive::WaitForWindowText(label, L"2/3")) << drive::WideToUtf8(drive::WindowText(label));
    drive::TypeText(Repeat(L"\u4f60", 60));  // 282 bytes: 28 characters in the last part, 16 bytes left
    EXPECT_TRUE(drive::WaitForWindowText(label, L"3/3 \u8fd8\u5269 16 \u5b57\u8282")) << drive::WideToUtf8(drive::WindowText(label));
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
    DWORD lastExecuted = ::GetTickCount() - 1000;
    auto execute = [&](const std::string& command) {
        // Apart by more than the game's 0.66 s between chat lines, by the clock.
        while (::GetTickCount() - lastExecuted < 700) ::Sleep(20);
        drive::WriteFileBytes(CfgPath(L"cstrike"), command);
        // The log has the file's first line with "exec", then each further line.
        const std::string executed = "exec " + command.substr(0, command.find('\n'));
        const size_t before = game.log.Count(executed);
        drive::TapKey(VK_F12);
        EXPECT_TRUE(drive::FileExists(CfgPath(L"cstrike")));
        ASSERT_TRUE(SyncWithGame(game));
        lastExecuted = ::GetTickCount();
        EXPECT_EQ(game.log.Count(executed), before + 1) << game.log.Read();
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
    // A second chat line at once is ignored, say and say_team alike; the server
    // console's say is no player's chat and waits for nothing.
    execute("say first\nsay_team second\nrcon say third\nsay fourth");
    EXPECT_TRUE(game.log.Contains("said first")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("ignored say_team: too soon")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("said-rcon third")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("ignored say: too soon")) << game.log.Read();
    EXPECT_FALSE(game.log.Contains("said fourth")) << game.log.Read();

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
