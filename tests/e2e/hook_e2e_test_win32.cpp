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

TEST_F(E2eTest, OnlyAPressOpensTheBoxAndItsRepeatsTypeIntoIt) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    // A lone release goes on to the game.
    drive::KeyUp(drive::kRconKey);
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog) << "a release opened the box";

    // Held down: the press opens the box, the repeats type into it.
    drive::KeyDown(drive::kSayKey);
    ChatBox box;
    ASSERT_TRUE(drive::WaitForChatBox(game.window, box)) << game.log.Read();
    ASSERT_TRUE(drive::WaitForFocus(box.edit));
    drive::KeyDown(drive::kSayKey);
    drive::KeyDown(drive::kSayKey);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"yy")) << drive::WideToUtf8(drive::WindowText(box.edit));
    drive::KeyUp(drive::kSayKey);

    // "thank u": Enter sends while U is still down; U repeating and coming up
    // afterwards reaches the game and opens no say-team box.
    drive::TypeText(L" thank ");
    drive::KeyDown(drive::kSayTeamKey);
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"yy thank u"));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(game.log.WaitForLine("said yy thank u")) << game.log.Read();
    drive::KeyDown(drive::kSayTeamKey);
    drive::KeyUp(drive::kSayTeamKey);
    EXPECT_TRUE(game.log.WaitForLine("keyup 0x55")) << game.log.Read();
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog) << "the hot key's repeat or release opened a box";
    EXPECT_EQ(game.log.Count("keydown 0x55"), 1u) << "the repeat after the box went belongs to the game";
}

// Each of the game's loops: the SDL2 one takes the key with HC_ACTION, the Quake
// one sees it first with HC_NOREMOVE and must not see it again once eaten; and
// the SDL2 game itself, windowed and fullscreen.
class HotKeyInLoop : public E2eTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(HotKeyInLoop, OpensTypesAndSends) {
    UseGameLoop(GetParam());
    if (drive::IsSdl2GlLoop(GetParam()) && !Sdl2GameBuilt()) return;
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    for (int round = 0; round < 2; ++round) {
        ChatBox box = OpenBox(game, drive::kSayTeamKey);
        ASSERT_TRUE(box.dialog) << game.log.Read();
        EXPECT_EQ(drive::WindowText(box.prompt), kPromptSayTeam);
        ASSERT_TRUE(drive::WaitForFocus(box.edit));
        drive::TypeText(L"go b");
        ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"go b")) << drive::WideToUtf8(drive::WindowText(box.edit));
        drive::TapKey(VK_RETURN);
        EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
        EXPECT_TRUE(drive::WaitForFocus(game.window));
    }
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_EQ(game.log.Count("said-team go b"), 2u) << game.log.Read();
    EXPECT_FALSE(game.log.Contains("keydown 0x55")) << "the game received the hot key";
}

INSTANTIATE_TEST_SUITE_P(GameLoops, HotKeyInLoop,
                         testing::Values(L"sdl", L"sdl-noclip", L"quake", L"sdl2-gl", L"sdl2-gl-fullscreen"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name = drive::WideToUtf8(info.param);
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

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
