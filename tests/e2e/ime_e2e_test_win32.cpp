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
constexpr UINT kTextInputMessage = WM_APP + 23;  // the stand-in game plays SDL2's text input on (1) or off (0)
constexpr UINT kImeOpenMessage = WM_APP + 24;    // closes (0), opens (1) or reports (2) the player's IME
constexpr COLORREF kBoxBackground = 0x44584C;
constexpr COLORREF kHighlight = 0xD3DED8;  // the selected entry's background: the edit's text colour
constexpr COLORREF kGameBackground = RGB(0x30, 0x50, 0x70);  // what the stand-in game renders
constexpr COLORREF kEditBackground = 0x37463E;

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
    // The player's IME status in the game after closing, opening or only asking.
    static std::string PlayerImeOpen(Game& game, WPARAM action) {
        const size_t before = game.log.Read().size();
        ::PostMessageW(game.window, kImeOpenMessage, action, 0);
        std::string line;
        WaitUntil([&] {
            const std::string log = game.log.Read();
            const size_t at = log.find("ime-open ", before);
            if (at == std::string::npos || log.find('\n', at) == std::string::npos) return false;
            line = log.substr(at, log.find('\n', at) - at);
            return true;
        });
        return line;
    }
    // The game turns its text input on or off; true once it says it did.
    static bool SetGameTextInput(Game& game, bool on) {
        const std::string line = on ? "textinput on" : "textinput off";
        const size_t before = game.log.Read().size();
        ::PostMessageW(game.window, kTextInputMessage, on ? 1 : 0, 0);
        return WaitUntil([&] { return game.log.Read().find(line, before) != std::string::npos; });
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

    // The box grows upward while it shows candidates and takes its closed place
    // back when they go.
    static bool WaitForCandidatesShown(const ChatBox& box, const RECT& closed) {
        return WaitUntil([&] {
            RECT now;
            ::GetWindowRect(box.dialog, &now);
            return now.top < closed.top;
        });
    }
    static bool WaitForCandidatesGone(const ChatBox& box, const RECT& closed) {
        return WaitUntil([&] {
            RECT now;
            ::GetWindowRect(box.dialog, &now);
            return ::EqualRect(&now, &closed) != FALSE;
        });
    }

    // Pixels of text: neither the box's background nor the game's.
    static size_t TextPixels(const drive::ScreenPixels& shot) {
        size_t count = 0;
        for (COLORREF pixel : shot.pixels) count += pixel != kBoxBackground && pixel != kGameBackground;
        return count;
    }

    // The leftmost column of the selected entry's highlight; -1 without one. A
    // column counts when a run of highlight pixels fills most of a row's height.
    static int HighlightLeft(const drive::ScreenPixels& shot) {
        const int width = shot.rect.right - shot.rect.left, height = shot.rect.bottom - shot.rect.top;
        for (int x = 0; x < width; ++x) {
            int run = 0;
            for (int y = 0; y < height && run < 10; ++y)
                run = shot.At(shot.rect.left + x, shot.rect.top + y) == kHighlight ? run + 1 : 0;
            if (run >= 10) return shot.rect.left + x;
        }
        return -1;
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
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    // The box draws the composition itself; its candidates show that the IME composes.
    Type("wo");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed));
    drive::TapKey(VK_RETURN);  // commits the letters as typed, sends nothing
    ASSERT_TRUE(WaitForText(box, "wo")) << Text(box);
    ASSERT_TRUE(WaitForCandidatesGone(box, closed));
    Type("ma");  // the box is still open and composes again
    ASSERT_TRUE(WaitForCandidatesShown(box, closed));
    drive::TapKey(VK_ESCAPE);  // drops the composition, the box stays
    ASSERT_TRUE(WaitForCandidatesGone(box, closed));
    Type("a");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed)) << "the box did not survive Escape";
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitForCandidatesGone(box, closed));
    EXPECT_EQ(Text(box), "wo");
    EXPECT_FALSE(game.log.Contains("exec say \"wo\"")) << game.log.Read();

    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said wo")) << game.log.Read();
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
}

// The box shows the candidates itself, as painted pixels above its edit, and
// keeps the IME's own candidate window away: over a fullscreen game that window
// would not show. The box grows upward while the list is open and takes its
// place and size back when the list closes.
TEST_F(ImeTest, TheBoxPaintsTheCandidatesAndFollowsThePaging) {
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    Type("ni");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed)) << "the box did not grow for the candidates";
    RECT open{};
    ::GetWindowRect(box.dialog, &open);
    EXPECT_EQ(open.bottom, closed.bottom);
    EXPECT_EQ(open.left, closed.left);
    EXPECT_EQ(open.right, closed.right);
    // The rows the box grew by hold the list: text in a colour of its own on
    // the box's background.
    const RECT list{open.left + 2, open.top + 2, open.right - 2, closed.top};
    drive::ScreenPixels firstPage;
    ASSERT_TRUE(WaitUntil([&] {
        firstPage = drive::CaptureScreen(list);
        return TextPixels(firstPage) > 100;
    })) << "no candidates painted: " << TextPixels(firstPage) << " text pixels";
    HWND imeList = ImeCandidateWindow(game.process.Id());
    EXPECT_TRUE(!imeList || !::IsWindowVisible(imeList)) << "the IME's own candidate window shows";

    // The selected entry, the first, is highlighted: a block in the edit's text colour.
    const int firstHighlight = HighlightLeft(firstPage);
    EXPECT_GE(firstHighlight, list.left) << "no entry is highlighted";

    drive::TapExtendedKey(VK_NEXT);  // the next page: other entries, painted anew
    drive::ScreenPixels secondPage;
    EXPECT_TRUE(WaitUntil([&] {
        secondPage = drive::CaptureScreen(list);
        return TextPixels(secondPage) > 100 && secondPage.pixels != firstPage.pixels;
    })) << "the list did not follow the paging";
    EXPECT_EQ(HighlightLeft(secondPage), firstHighlight) << "the page's first entry is not the selected one";
    drive::TapKey(VK_DOWN);  // the highlight moves to the page's second entry
    EXPECT_TRUE(WaitUntil([&] { return HighlightLeft(drive::CaptureScreen(list)) > firstHighlight; }))
        << "the highlight did not follow the selection";
    drive::TapKey(VK_UP);
    EXPECT_TRUE(WaitUntil([&] { return HighlightLeft(drive::CaptureScreen(list)) == firstHighlight; }));

    drive::TapKey('1');  // the sixth candidate: the list closes, the box is as before
    ASSERT_TRUE(WaitForText(box, "腻")) << Text(box);
    EXPECT_TRUE(WaitForCandidatesGone(box, closed)) << "the box kept the candidates' size";
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said 腻")) << game.log.Read();
}

// The game turns SDL2's text input on and off while the player composes in the
// box (the engine does so as its own console and menus come and go): SDL then
// cancels the composition on the thread's shared input context. The box composes
// in a context of its own, so the letters and the candidates stay.
TEST_F(ImeTest, TheCompositionSurvivesTheGameStoppingAndStartingTextInput) {
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    Type("ni");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed));
    for (const bool on : {true, false, true, false}) ASSERT_TRUE(SetGameTextInput(game, on)) << game.log.Read();
    RECT now;
    ::GetWindowRect(box.dialog, &now);
    EXPECT_LT(now.top, closed.top) << "the candidates went with the game's text input";
    drive::TapKey(VK_SPACE);  // the first candidate of the composition that survived
    ASSERT_TRUE(WaitForText(box, "你")) << Text(box) << "\n" << game.log.Read();
    EXPECT_TRUE(WaitForCandidatesGone(box, closed));
    Type("hao");  // and the box composes on
    drive::TapKey('2');
    ASSERT_TRUE(WaitForText(box, "你号")) << Text(box);
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said 你号")) << game.log.Read();
}

// A game window so small that the box touches its top, with 20 pixels below it:
// no room above for a row, nor below it; the selected candidate still shows, in
// the box, with the page position.
TEST_F(ImeTest, TheCandidatesShowInAGameWindowTheBoxFillsToTheTop) {
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ChatBox first = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(first.dialog) << game.log.Read();
    RECT size;
    ::GetWindowRect(first.dialog, &size);
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    RECT window, client;
    ::GetWindowRect(game.window, &window);
    ::GetClientRect(game.window, &client);
    const int height = (window.bottom - window.top) - client.bottom + (size.bottom - size.top) + 20;
    ASSERT_TRUE(::SetWindowPos(game.window, nullptr, 0, 0, window.right - window.left, height,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));

    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    POINT origin{0, 0};
    ::ClientToScreen(game.window, &origin);
    ASSERT_EQ(closed.top, origin.y) << "the box does not touch the game's top";
    Type("ni");
    // The row over the prompt line, above the edit.
    RECT edit;
    ::GetWindowRect(box.edit, &edit);
    const RECT row{closed.left + 2, closed.top + 2, closed.right - 2, edit.top - 2};
    drive::ScreenPixels shot;
    EXPECT_TRUE(WaitUntil([&] {
        shot = drive::CaptureScreen(row);
        return HighlightLeft(shot) >= row.left && TextPixels(shot) > 100;
    })) << "no selected candidate shown: " << TextPixels(shot) << " text pixels";
    drive::TapExtendedKey(VK_NEXT);
    EXPECT_TRUE(WaitUntil([&] {
        const drive::ScreenPixels next = drive::CaptureScreen(row);
        return HighlightLeft(next) >= row.left && next.pixels != shot.pixels;
    })) << "the row did not follow the paging";
    drive::TapKey(VK_SPACE);  // the second page's first entry, selected
    ASSERT_TRUE(WaitForText(box, "腻")) << Text(box);
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said 腻")) << game.log.Read();
}

// "IME mode in the chat box" (on unless the player turns it off): the player
// closed the IME for play, the box opens it for chat, and the game has it
// closed again once the box is gone.
TEST_F(ImeTest, ImeModeOpensThePlayersClosedImeInTheBoxOnly) {
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ASSERT_EQ(PlayerImeOpen(game, 0), "ime-open 0") << game.log.Read();
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    Type("ni");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed)) << "the IME is not on in the box: " << Text(box);
    drive::TapKey(VK_SPACE);
    ASSERT_TRUE(WaitForText(box, "你")) << Text(box);
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said 你")) << game.log.Read();
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_EQ(PlayerImeOpen(game, 2), "ime-open 0") << "the player's IME was left open for play";
}

// With the setting off the box keeps the player's choice: a closed IME types
// letters as they are, in the box too, and stays closed.
TEST_F(ImeTest, WithoutImeModeTheBoxKeepsThePlayersClosedIme) {
    drive::SetSetting(L"IME Mode in Chat Box", 0);
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window);
    ASSERT_EQ(PlayerImeOpen(game, 0), "ime-open 0") << game.log.Read();
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    Type("ni");
    ASSERT_TRUE(WaitForText(box, "ni")) << Text(box);
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said ni")) << game.log.Read();
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_EQ(PlayerImeOpen(game, 2), "ime-open 0");
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
    // Every name whole: the system's length of it, not one character less.
    for (const LayoutEntry& entry : catalog.Entries())
        EXPECT_EQ(entry.description.size(), ::ImmGetDescriptionW(reinterpret_cast<HKL>(entry.hkl), nullptr, 0));
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

// The same over the SDL2 game that renders with OpenGL, windowed and fullscreen:
// there the player sees the box only as it is drawn into the game's frames, so
// the composition and the candidate rows are read as screen pixels over several
// frames while the game's frame counter moves; SDL's own text input stops and
// starts under the composition.
class ImeInSdlGame : public ImeTest, public testing::WithParamInterface<const wchar_t*> {
protected:
    void SetUp() override {
        ImeTest::SetUp();
        if (HasFatalFailure() || !Sdl2GameBuilt()) return;
        UseGameLoop(GetParam());
        m_ready = true;
    }

    // Pixels of `rect` on the screen in neither colour.
    static size_t Ink(const RECT& rect, COLORREF background) {
        const drive::ScreenPixels shot = drive::CaptureScreen(rect);
        size_t ink = 0;
        for (COLORREF pixel : shot.pixels) ink += pixel != background && pixel != kGameBackground;
        return ink;
    }
    // Waits for `seen` over `samples` frames, each after the game's frame
    // counter moved on: what a still picture could not show.
    static bool SeenOverFrames(const Game& game, const std::function<bool()>& seen, int samples = 3) {
        for (int sample = 0; sample < samples; ++sample) {
            const unsigned long long frames = FramesRendered(game);
            if (frames == 0 || !WaitUntil([&] { return FramesRendered(game) > frames; })) return false;
            if (!WaitUntil(seen)) return false;
        }
        return true;
    }

    bool m_ready = false;
};

TEST_P(ImeInSdlGame, CompositionAndCandidatesShowInTheFramesAndAreSaid) {
    if (!m_ready) return;
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window) << game.log.Read();
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    RECT closed, edit;
    ::GetWindowRect(box.dialog, &closed);
    ::GetWindowRect(box.edit, &edit);
    // An empty edit shows its background and at most the caret.
    ASSERT_TRUE(SeenOverFrames(game, [&] { return Ink(edit, kEditBackground) < 40; }))
        << Ink(edit, kEditBackground) << " pixels in the empty edit";

    Type("ni");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed)) << "the box did not grow for the candidates\n" << game.log.Read();
    RECT open{};
    ::GetWindowRect(box.dialog, &open);
    const RECT list{open.left + 2, open.top + 2, open.right - 2, closed.top};
    // The composition is the box's own drawing, not the edit's text.
    EXPECT_EQ(Text(box), "");
    EXPECT_TRUE(SeenOverFrames(game, [&] { return Ink(edit, kEditBackground) > 40; }))
        << "no composition in the frames: " << Ink(edit, kEditBackground);
    drive::ScreenPixels firstPage;
    EXPECT_TRUE(SeenOverFrames(game, [&] {
        firstPage = drive::CaptureScreen(list);
        return TextPixels(firstPage) > 100 && HighlightLeft(firstPage) >= list.left;
    })) << "no candidate rows in the frames: " << TextPixels(firstPage) << " text pixels";

    drive::TapExtendedKey(VK_NEXT);  // the rows follow the paging in the frames
    EXPECT_TRUE(SeenOverFrames(game, [&] {
        const drive::ScreenPixels page = drive::CaptureScreen(list);
        return TextPixels(page) > 100 && page.pixels != firstPage.pixels;
    })) << "the rows did not follow the paging";
    drive::TapKey('1');  // the sixth candidate
    ASSERT_TRUE(WaitForText(box, "腻")) << Text(box);
    EXPECT_TRUE(WaitForCandidatesGone(box, closed));
    Type("ni");
    drive::TapKey(VK_SPACE);
    ASSERT_TRUE(WaitForText(box, "腻你")) << Text(box);
    EXPECT_TRUE(SeenOverFrames(game, [&] { return Ink(edit, kEditBackground) > 100; })) << "the text is not seen";
    EXPECT_FALSE(game.log.Contains("keydown 0x20")) << game.log.Read();

    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said 腻你")) << game.log.Read();
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    // The rows and the box are gone from the frames.
    EXPECT_TRUE(SeenOverFrames(game, [&] { return Ink(list, kGameBackground) == 0; })) << "the rows stayed";
}

// SDL_StopTextInput cancels the composition on the game window's context and
// SDL_StartTextInput gives the window its context back: the box composes in a
// context of its own, and its letters and rows stay in the frames.
TEST_P(ImeInSdlGame, TheCompositionSurvivesSdlStoppingAndStartingTextInput) {
    if (!m_ready) return;
    Game& game = LaunchGameWithIme();
    ASSERT_TRUE(game.window) << game.log.Read();
    ChatBox box = OpenBoxWithIme(game);
    ASSERT_TRUE(box.dialog);
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    Type("ni");
    ASSERT_TRUE(WaitForCandidatesShown(box, closed)) << game.log.Read();
    for (const bool on : {false, true, false, true}) ASSERT_TRUE(SetGameTextInput(game, on)) << game.log.Read();
    RECT open;
    ::GetWindowRect(box.dialog, &open);
    EXPECT_LT(open.top, closed.top) << "the candidates went with SDL's text input";
    const RECT list{open.left + 2, open.top + 2, open.right - 2, closed.top};
    EXPECT_TRUE(SeenOverFrames(game, [&] { return TextPixels(drive::CaptureScreen(list)) > 100; }))
        << "no candidate rows in the frames after SDL's text input stopped and started";
    drive::TapKey(VK_SPACE);
    ASSERT_TRUE(WaitForText(box, "你")) << Text(box) << "\n" << game.log.Read();
    EXPECT_TRUE(WaitForCandidatesGone(box, closed));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said 你")) << game.log.Read();
}

INSTANTIATE_TEST_SUITE_P(Modes, ImeInSdlGame, testing::Values(L"sdl2-gl", L"sdl2-gl-fullscreen"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(info.param == std::wstring(L"sdl2-gl") ? "windowed" : "fullscreen");
                         });

}  // namespace
}  // namespace e2e
