// Typing Chinese through an IME into the chat box over a game that treats the
// IME as the real one does (no input context on its window, no IME windows for
// it): the test IME of tools/testime composes, offers candidates and commits,
// and the committed text is what the game says.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

class ImeTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_FALSE(g_testImeLayout.empty()) << g_testImeProblem;
        ASSERT_TRUE(StartHost()) << HostLog().Read();
    }

    // A game whose thread has the test IME active, as a player's game after the
    // player switched to the IME.
    Game& LaunchGameWithIme() {
        Game& game = LaunchGame(L"HL.exe", L"--ime " + g_testImeLayout);
        EXPECT_TRUE(game.log.WaitForPrefix("ime 0x")) << game.log.Read();
        return game;
    }

    // Opens the say box; Wine swaps the IME in at the next key press, so Shift
    // goes first.
    ChatBox OpenBoxWithIme(Game& game) {
        ChatBox box = OpenBox(game, drive::kSayKey);
        if (!box.dialog) {
            ADD_FAILURE() << "no chat box; game log:\n" << game.log.Read();
            return box;
        }
        EXPECT_TRUE(drive::WaitForFocus(box.edit));
        drive::TapKey(VK_SHIFT);
        return box;
    }

    static void Type(const char* letters) {
        for (const char* c = letters; *c; ++c) drive::TapKey(static_cast<WORD>(*c - 'a' + 'A'));
    }

    static std::string Text(const ChatBox& box) { return drive::WideToUtf8(drive::WindowText(box.edit)); }
    static bool WaitForText(const ChatBox& box, const std::string& text) {
        return drive::WaitForWindowText(box.edit, drive::Utf8ToWide(text));
    }

    // The IME's own candidate window, when the IME shows one.
    static HWND ImeCandidateWindow(DWORD processId) {
        return drive::FindProcessWindow(processId, L"ParlixTestImeList");
    }
};

TEST_F(ImeTest, ComposedCandidatesAreSaidInTheGame) {
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    Type("ni");
    drive::TapKey(VK_SPACE);  // the first candidate
    ASSERT_TRUE(WaitForText(box, "你")) << Text(box) << "\n" << game.log.Read();
    Type("hao");
    drive::TapKey('2');  // the second of the page
    ASSERT_TRUE(WaitForText(box, "你号")) << Text(box);
    Type("ni");
    drive::TapExtendedKey(VK_NEXT);  // the second page starts at the sixth candidate
    drive::TapKey('2');
    ASSERT_TRUE(WaitForText(box, "你号妮")) << Text(box);
    // The keys that chose candidates reached neither the game nor its bindings.
    EXPECT_FALSE(game.log.Contains("keydown 0x20")) << game.log.Read();
    EXPECT_FALSE(game.log.Contains("keydown 0x32")) << game.log.Read();

    drive::TapKey(VK_RETURN);  // nothing is composed now: Enter sends
    EXPECT_TRUE(game.log.WaitForLine("said 你号妮")) << game.log.Read();
    EXPECT_EQ(ReadCfg(L"cstrike"), "say \"你号妮\"");
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
}

TEST_F(ImeTest, EnterAndEscapeWhileComposingOnlyEndTheComposition) {
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    Type("wo");
    ASSERT_TRUE(WaitForText(box, "wo")) << Text(box);  // the edit shows the composition
    drive::TapKey(VK_RETURN);  // commits the letters as typed, sends nothing
    Type("ma");
    ASSERT_TRUE(WaitForText(box, "woma")) << Text(box);
    drive::TapKey(VK_ESCAPE);  // cancels the composition, the box stays
    ASSERT_TRUE(WaitForText(box, "wo")) << Text(box);
    // The box still takes keys after both: a new composition shows in it.
    Type("a");
    ASSERT_TRUE(WaitForText(box, "woa")) << Text(box);
    EXPECT_FALSE(game.log.Contains("exec say \"wo\"")) << game.log.Read();
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitForText(box, "wo")) << Text(box);

    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said wo")) << game.log.Read();
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
}

}  // namespace
}  // namespace e2e
