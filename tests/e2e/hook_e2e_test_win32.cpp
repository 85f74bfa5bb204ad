// The hook opens the chat box in the game's processes only, swallowing the hot
// key, and stands aside when the box is open, after UninstallHook and when the
// module was loaded under another name.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

struct HotKeyCase {
    WORD key;
    const wchar_t* prompt;
    const char* keydown;
};
const HotKeyCase kHotKeys[] = {
    {drive::kSayKey, kPromptSay, "keydown 0x59"},
    {drive::kSayTeamKey, kPromptSayTeam, "keydown 0x55"},
    {drive::kRconKey, kPromptRcon, "keydown 0x50"},
};

class HotKeyInGame : public E2eTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(HotKeyInGame, EachHotKeyOpensTheBoxWithItsPromptPlacedAndFocused) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(GetParam());
    ASSERT_TRUE(game.window) << game.log.Read();
    for (const HotKeyCase& hotKey : kHotKeys) {
        SCOPED_TRACE(drive::WideToUtf8(hotKey.prompt));
        ChatBox box = OpenBox(game, hotKey.key);
        ASSERT_TRUE(box.dialog) << "no chat box; game log:\n" << game.log.Read();
        EXPECT_EQ(::GetParent(box.dialog), game.window);
        EXPECT_EQ(drive::WindowText(box.prompt), hotKey.prompt);
        EXPECT_EQ(drive::FocusOfThread(game.window), box.edit);

        // Centred, its bottom 20 pixels above the bottom of the game's client area.
        RECT client, boxRect;
        ::GetClientRect(game.window, &client);
        ::GetWindowRect(box.dialog, &boxRect);
        POINT origin = {0, 0};
        ::ClientToScreen(game.window, &origin);
        int boxWidth = boxRect.right - boxRect.left, boxHeight = boxRect.bottom - boxRect.top;
        EXPECT_EQ(boxRect.left - origin.x, (client.right - boxWidth) / 2);
        EXPECT_EQ(boxRect.top - origin.y, client.bottom - boxHeight - 20);

        drive::TapKey(VK_ESCAPE);
        ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
        ASSERT_TRUE(SyncWithGame(game));
        EXPECT_FALSE(game.log.Contains(hotKey.keydown)) << "the game received the hot key";
    }
}

INSTANTIATE_TEST_SUITE_P(GameExecutables, HotKeyInGame,
                         testing::Values(L"HL.exe", L"CStrike.exe", L"CZero.exe", L"hl.EXE"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name = drive::WideToUtf8(info.param);
                             for (char& c : name)
                                 if (c == '.') c = '_';
                             return name;
                         });

TEST_F(E2eTest, AnotherProgramGetsTheHotKeyAndNoBoxOpens) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& other = LaunchGame(L"Other.exe");
    ASSERT_TRUE(other.window);
    drive::TapKey(drive::kSayKey);
    ASSERT_TRUE(other.log.WaitForLine("keydown 0x59")) << other.log.Read();
    EXPECT_TRUE(other.log.WaitForLine("keyup 0x59"));
    EXPECT_FALSE(drive::FindChatBox(other.window).dialog);
}

TEST_F(E2eTest, HotKeyWhileTheBoxIsOpenIsPassedOnToTheEdit) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TapKey(drive::kSayTeamKey);
    // The key reached the edit as a character; the box and its mode stay.
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"u")) << drive::WideToUtf8(drive::WindowText(box.edit));
    EXPECT_EQ(drive::FindChatBox(game.window).dialog, box.dialog);
    EXPECT_EQ(drive::WindowText(box.prompt), kPromptSay);
}

TEST_F(E2eTest, KeyReleaseAloneOpensTheBox) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    // Wine must deliver a lone release at all: another program sees it first.
    Game& other = LaunchGame(L"Other.exe");
    ASSERT_TRUE(other.window);
    drive::KeyUp(drive::kSayKey);
    if (!other.log.WaitForLine("keyup 0x59")) GTEST_SKIP() << "this Wine does not deliver a lone key release";

    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    drive::KeyUp(drive::kRconKey);
    ChatBox box;
    ASSERT_TRUE(drive::WaitForChatBox(game.window, box)) << game.log.Read();
    EXPECT_EQ(drive::WindowText(box.prompt), kPromptRcon);
}

TEST_F(E2eTest, NothingOpensAfterUninstallHook) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << "the hook did not work before it was removed";
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));

    StopHost();
    ASSERT_TRUE(HostLog().WaitForLine("uninstalled")) << HostLog().Read();
    drive::TapKey(drive::kSayKey);
    ASSERT_TRUE(game.log.WaitForLine("keydown 0x59")) << game.log.Read();
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog);
}

TEST_F(E2eTest, ModuleLoadedUnderAnotherNameInstallsNoHook) {
    std::wstring copy = Folder() + L"ParlixCopy.dll";
    ASSERT_TRUE(::CopyFileW((drive::ProgramFolder() + L"Parlix.dll").c_str(), copy.c_str(), FALSE));
    drive::Process host;
    ASSERT_TRUE(host.Start(drive::ProgramFolder() + L"ParlixTestHost.exe",
                           L"--log \"" + HostLog().Path() + L"\" --module \"" + copy + L"\" 0x59 0x55 0x50"));
    DWORD exitCode = 0;
    ASSERT_TRUE(host.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 4u) << HostLog().Read();
    EXPECT_TRUE(HostLog().Contains("install-failed")) << HostLog().Read();

    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    drive::TapKey(drive::kSayKey);
    ASSERT_TRUE(game.log.WaitForLine("keydown 0x59")) << game.log.Read();
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog);
}

}  // namespace
}  // namespace e2e
