// Typing Chinese through an IME into the chat box over a game that treats the
// IME as the real one does (no input context on its window, no IME windows for
// it): the test IME of tools/testime composes, offers candidates and commits,
// and the committed text is what the game says.
#include <windows.h>
#include <imm.h>

#include <cstdlib>
#include <functional>

#include "e2e_fixture_win32.h"
#include "settings/layout_catalog.h"
#include "settings/layout_source_win32.h"

namespace e2e {
namespace {

constexpr UINT kReportLayoutMessage = WM_APP + 8;
constexpr COLORREF kBoxBackground = 0x44584C;
constexpr COLORREF kGameBackground = RGB(0x30, 0x50, 0x70);  // what the stand-in game renders

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

    // The game thread's active layout, as the stand-in game reports it; its low 32
    // bits, which is all a layout handle holds on either bitness.
    static unsigned long GameLayout(Game& game) {
        const std::string prefix = "layout 0x";
        const size_t before = game.log.Read().size();
        ::PostMessageW(game.window, kReportLayoutMessage, 0, 0);
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < drive::kDeadlineMs) {
            const std::string log = game.log.Read();
            const size_t at = log.find(prefix, before);
            if (at != std::string::npos && log.find('\n', at) != std::string::npos)
                return std::strtoull(log.c_str() + at + prefix.size(), nullptr, 16) & 0xFFFFFFFFu;
            ::Sleep(20);
        }
        return 0;
    }
    static unsigned long Low32(HKL layout) { return reinterpret_cast<UINT_PTR>(layout) & 0xFFFFFFFFu; }

    static bool WaitUntil(const std::function<bool()>& done) {
        const DWORD start = ::GetTickCount();
        while (!done()) {
            if (::GetTickCount() - start > drive::kDeadlineMs) return false;
            ::Sleep(20);
        }
        return true;
    }

    // Pixels of text: neither the box's background nor the game's.
    static size_t TextPixels(const drive::ScreenPixels& shot) {
        size_t count = 0;
        for (COLORREF pixel : shot.pixels) count += pixel != kBoxBackground && pixel != kGameBackground;
        return count;
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

// "Auto IME" as far as Wine allows: every layout answers "Wine XIM" as its IME
// description, so the selected text finds the first layout of the list, Wine's
// own, which the list gives before the test IME. While the box has the focus the game
// thread runs that layout, and the letters go in uncomposed; closing the box
// gives the player's IME back.
TEST_F(ImeTest, AutoImeSwitchesWhileTheBoxHasTheFocusAndGivesThePlayersImeBack) {
    // The player picks the first IME the host's list offers, which the host
    // builds with the module's own catalogue.
    SystemLayoutSource source;
    const CLayoutCatalog catalog(source);
    ASSERT_GE(catalog.Entries().size(), 2u) << "the layout list lacks the test IME";
    const LayoutEntry& first = catalog.Entries()[0];
    const unsigned long selected = static_cast<unsigned long>(first.hkl & 0xFFFFFFFFu);
    drive::SetSetting(L"Auto IME", 1);
    drive::SetSetting(L"Selected IME", std::wstring(first.description.begin(), first.description.end()));

    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    const unsigned long playersIme = GameLayout(game);
    ASSERT_NE(playersIme, 0u) << game.log.Read();
    ASSERT_NE(playersIme, selected) << "the test IME is first in the list; the selected layout would be the IME";
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    EXPECT_EQ(GameLayout(game), selected);
    Type("ni");
    ASSERT_TRUE(WaitForText(box, "ni")) << Text(box);
    drive::TapKey(VK_RETURN);  // nothing composed: Enter sends at once
    EXPECT_TRUE(game.log.WaitForLine("said ni")) << game.log.Read();
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_EQ(GameLayout(game), playersIme);
}

}  // namespace
}  // namespace e2e
