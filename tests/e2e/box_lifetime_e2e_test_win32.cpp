// The box never strands the player nor harms the game: the host exiting while a
// box is open (the module stays in the game and the message is still said), the game taking the focus back from the box, and a hot key while
// the box's error message is shown.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

// The stand-in game's private messages (tools/standin).
constexpr UINT kTakeFocusMessage = WM_APP + 1;
constexpr UINT kUnloadModuleMessage = WM_APP + 2;
constexpr UINT kModuleQueryMessage = WM_APP + 4;

void StoreHistory(DWORD count, const std::vector<std::string>& entries) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kelvandor\\Parlix\\History", 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    for (size_t i = 0; i < entries.size(); ++i)
        ::RegSetValueExA(key, ("#" + std::to_string(i)).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(entries[i].c_str()), static_cast<DWORD>(entries[i].size() + 1));
    ::RegCloseKey(key);
}

TEST_F(E2eTest, HostExitingWhileABoxIsOpenStillSaysTheMessageAndTheModuleStaysInTheGame) {
    // Two stored messages and a maximum of one: the save as the box closes keeps the newest alone.
    drive::SetSetting(L"Max History Items", DWORD{1});
    StoreHistory(2, {"older", "newer"});
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TypeText(L"draft");
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"draft"));

    StopHost();
    ASSERT_TRUE(HostLog().WaitForLine("uninstalled")) << HostLog().Read();
    // What the system does in the game's thread once the hook is gone; the module
    // pinned itself when it opened the box, so every FreeLibrary leaves it.
    ::PostMessageW(game.window, kUnloadModuleMessage, 0, 0);
    ASSERT_TRUE(game.log.WaitForPrefix("unloaded ")) << game.log.Read();
    ::PostMessageW(game.window, kModuleQueryMessage, 0, 0);
    ASSERT_TRUE(game.log.WaitForPrefix("module ")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("module loaded")) << game.log.Read();

    // The player finishes the message as if nothing happened.
    EXPECT_EQ(drive::FindChatBox(game.window).dialog, box.dialog);
    drive::TypeText(L" done");
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"draft done"));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said draft done")) << game.log.Read();
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(drive::WaitForFocus(game.window));

    // No hook, no box: the hot key is the game's now.
    drive::TapKey(drive::kSayKey);
    EXPECT_TRUE(game.log.WaitForLine("keydown 0x59")) << game.log.Read();
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog);
    ::PostMessageW(game.window, kModuleQueryMessage, 0, 0);
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_EQ(game.log.Count("module loaded"), 2u) << "the module left the game before its end:\n" << game.log.Read();
    EXPECT_EQ(game.log.Read().find("fault "), std::string::npos) << game.log.Read();
    EXPECT_TRUE(game.process.Running());
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.count, 1u);
    EXPECT_EQ(history.entries, std::vector<std::string>{"draft done"});
}

TEST_F(E2eTest, HotKeyGivesTheEditTheFocusBackAfterTheGameTookIt) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    // The box is found as soon as its window exists, while the hook may still be
    // placing it; the game takes the focus only once the edit has it.
    ASSERT_TRUE(drive::WaitForFocus(box.edit));
    ::PostMessageW(game.window, kTakeFocusMessage, 0, 0);
    ASSERT_TRUE(drive::WaitForFocus(game.window))
        << "focus on " << drive::FocusOfThread(game.window) << ", edit " << box.edit << "; game log:\n"
        << game.log.Read();
    ASSERT_EQ(drive::FindChatBox(game.window).dialog, box.dialog) << "focus within the game keeps the box";

    drive::TapKey(drive::kSayTeamKey);
    EXPECT_TRUE(drive::WaitForFocus(box.edit));
    drive::TypeText(L"hi");
    // Had the hot key reached the edit, its character would stand first.
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"hi")) << drive::WideToUtf8(drive::WindowText(box.edit));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("exec say \"hi\"")) << game.log.Read();
    EXPECT_FALSE(game.log.Contains("keydown 0x55")) << "the game received the hot key";
}

TEST_F(E2eTest, HotKeyWhileTheErrorMessageIsShownLeavesTheFocusInIt) {
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"HL.exe", L"", /*withModFolders=*/false);
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TypeText(L"kept");
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"kept"));
    drive::TapKey(VK_RETURN);
    drive::MessageBoxWindow message;
    ASSERT_TRUE(drive::WaitForMessageBox(game.process.Id(), message)) << game.log.Read();
    EXPECT_TRUE(::IsWindowVisible(box.dialog)) << "the box stays open while its error is shown";

    // The hot key passes on to the message; Enter then answers the message, not the
    // edit (which would send again and show a second message). The box stays open
    // with its text and takes the keys again.
    drive::TapKey(drive::kSayKey);
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(drive::WaitForFocus(box.edit));
    EXPECT_EQ(drive::WindowText(box.edit), L"kept") << "the hot key reached the edit";
    EXPECT_EQ(drive::FindChatBox(game.window).dialog, box.dialog);
    drive::TapKey(VK_ESCAPE);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(drive::WaitForFocus(game.window));
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(game.log.Contains("keydown 0x59"));
}

}  // namespace
}  // namespace e2e
