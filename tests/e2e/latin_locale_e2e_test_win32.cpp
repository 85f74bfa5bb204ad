// The chat box on a Windows whose ANSI code page has no Chinese: code page 1252,
// which Wine takes from LANG=C.UTF-8. The test command runs these tests alone, in
// a Wine prefix and server of their own (scripts/wine-run-locale); the ordinary
// run leaves them out.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

class LatinLocaleTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(::GetACP(), 1252u) << "these tests need the ANSI code page 1252 (LANG=C.UTF-8)";
        ASSERT_TRUE(StartHost()) << HostLog().Read();
    }
};

TEST_F(LatinLocaleTest, ChineseShowsIsSentAsUtf8AndIsRecalledWhole) {
    // A game folder whose name code page 1252 cannot hold either.
    const std::wstring folder = Folder() + L"\u6e38\u620f\\";
    drive::SetSetting(L"Executable File", folder + L"HL.exe");
    Game& game = LaunchGameIn(folder, L"HL.exe");
    ASSERT_TRUE(game.window);

    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    EXPECT_EQ(drive::WindowText(box.prompt), kPromptSay);
    drive::TypeText(L"\u4f60\u597d");
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"\u4f60\u597d")) << drive::WideToUtf8(drive::WindowText(box.edit));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said \xE4\xBD\xA0\xE5\xA5\xBD")) << game.log.Read();
    std::string bytes;
    ASSERT_TRUE(drive::ReadFileBytes(folder + L"cstrike\\parlix.cfg", bytes));
    EXPECT_EQ(bytes, "say \"\xE4\xBD\xA0\xE5\xA5\xBD\"");
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_EQ(drive::ReadHistory().entries, std::vector<std::string>{"\xE4\xBD\xA0\xE5\xA5\xBD"});

    // A new game process knows the message only from the registry.
    Relaunch(game);
    ASSERT_TRUE(game.window);
    box = OpenBox(game, drive::kSayTeamKey);
    ASSERT_TRUE(box.dialog);
    EXPECT_EQ(drive::WindowText(box.prompt), kPromptSayTeam);
    drive::TapKey(VK_UP);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"\u4f60\u597d")) << drive::WideToUtf8(drive::WindowText(box.edit));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said-team \xE4\xBD\xA0\xE5\xA5\xBD")) << game.log.Read();
}

}  // namespace
}  // namespace e2e
