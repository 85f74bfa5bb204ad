// The SDL2 game that renders with OpenGL, the game's own library under the
// module: it renders continuously to the screen, windowed and fullscreen, holds
// the command file and the send key to the game's rules, and the box opens,
// takes text and says it there as in the GDI stand-ins.
#include <functional>
#include <sstream>

#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

constexpr UINT kModuleQueryMessage = WM_APP + 4;
constexpr UINT kSwapEntryMessage = WM_APP + 10;  // the game logs "swap entry <state>"
constexpr COLORREF kWorld = RGB(0x30, 0x50, 0x70);
// The game's top left corner changes its shade every frame.
constexpr POINT kPulse = {8, 8};

POINT ClientToScreenPoint(HWND window, POINT point) {
    ::ClientToScreen(window, &point);
    return point;
}

COLORREF ScreenPixel(POINT at) {
    const drive::ScreenPixels shot = drive::CaptureScreen({at.x, at.y, at.x + 1, at.y + 1});
    return shot.pixels.empty() ? CLR_INVALID : shot.At(at.x, at.y);
}

// Reads the screen at `at` until it showed `wanted` different colours.
size_t ColoursSeen(POINT at, size_t wanted) {
    std::vector<COLORREF> seen;
    const DWORD start = ::GetTickCount();
    while (seen.size() < wanted && ::GetTickCount() - start < drive::kDeadlineMs) {
        const COLORREF colour = ScreenPixel(at);
        if (colour != CLR_INVALID && std::find(seen.begin(), seen.end(), colour) == seen.end()) seen.push_back(colour);
        ::Sleep(5);
    }
    return seen.size();
}

// What the player sees of a game that keeps rendering: the counter moves, the
// corner changes between frames, and the world has the game's colour.
void ExpectRenderingGame(const Game& game) {
    const unsigned long long first = FramesRendered(game);
    ASSERT_GT(first, 0u) << game.log.Read();
    const DWORD start = ::GetTickCount();
    unsigned long long later = first;
    while (later < first + 10 && ::GetTickCount() - start < drive::kDeadlineMs) later = FramesRendered(game);
    EXPECT_GE(later, first + 10) << "the frame counter stood still";
    EXPECT_GE(ColoursSeen(ClientToScreenPoint(game.window, kPulse), 3), 3u) << "the picture on the screen stood still";
    RECT client;
    ::GetClientRect(game.window, &client);
    const POINT middle = ClientToScreenPoint(game.window, {client.right / 2, client.bottom / 2});
    EXPECT_EQ(ScreenPixel(middle), kWorld) << "the world is not on the screen";
}

class SdlGameTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        Sdl2GameBuilt();
    }
};

TEST_F(SdlGameTest, RendersEveryFrameInAWindowOfItsLibrary) {
    UseGameLoop(L"sdl2-gl");
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("loop sdl2-gl")) << game.log.Read();
    EXPECT_TRUE(game.log.WaitForPrefix("gl ")) << game.log.Read();
    // The module finds the window of SDL's own making: its class, its clip styles, the cursor hidden.
    const auto style = static_cast<DWORD>(::GetWindowLongW(game.window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS), static_cast<DWORD>(WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    RECT client;
    ASSERT_TRUE(::GetClientRect(game.window, &client));
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);
    ExpectRenderingGame(game);
}

TEST_F(SdlGameTest, FullscreenCoversTheScreenAndRenders) {
    UseGameLoop(L"sdl2-gl-fullscreen");
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("loop sdl2-gl-fullscreen")) << game.log.Read();
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(game.window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(::GetWindowLongW(game.window, GWL_STYLE) & WS_CAPTION) << "a fullscreen window has no frame";
    ExpectRenderingGame(game);
}

// The same rules as the GDI stand-in, with command files written by hand; keys
// reach the game through SDL's key events only.
TEST_F(SdlGameTest, ExecutesTheCommandFileOnItsSendKeyByTheGamesRules) {
    UseGameLoop(L"sdl2-gl");
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    ASSERT_TRUE(game.log.WaitForLine("sendkey F12")) << game.log.Read();
    // Chat lines apart by more than the game's 0.66 s, by the clock.
    DWORD lastExecuted = ::GetTickCount() - 1000;
    auto awaitChatInterval = [&] {
        while (::GetTickCount() - lastExecuted < 700) ::Sleep(20);
    };
    auto execute = [&](const std::string& command) {
        awaitChatInterval();
        drive::WriteFileBytes(CfgPath(L"cstrike"), command);
        const size_t before = game.log.Count("exec " + command);
        drive::TapKey(VK_F12);
        ASSERT_TRUE(SyncWithGame(game));
        lastExecuted = ::GetTickCount();
        EXPECT_EQ(game.log.Count("exec " + command), before + 1) << game.log.Read();
    };
    std::string sixty;  // 186 bytes: the 127th falls inside a character
    for (int i = 0; i < 60; ++i) sixty += "\xE4\xBD\xA0";
    execute("say \"" + sixty + "\"");
    EXPECT_TRUE(game.log.Contains("dropped say: not UTF-8")) << game.log.Read();
    execute("say \"" + std::string(150, 'x') + "\"");
    EXPECT_TRUE(game.log.Contains("said " + std::string(108, 'x'))) << game.log.Read();
    execute("say_team plain words;rcon say \"\xE4\xBD\xA0 ok\"");
    EXPECT_TRUE(game.log.Contains("said-team plain words")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("said-rcon \xE4\xBD\xA0 ok")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("keydown 0x7b")) << "the key log misses the send key";
    EXPECT_TRUE(game.log.Contains("keyup 0x7b")) << "the key log misses the send key";

    // A held key repeats; the engine runs a bind once per press.
    awaitChatInterval();
    drive::WriteFileBytes(CfgPath(L"cstrike"), "say \"held\"");
    drive::KeyDown(VK_F12);
    drive::KeyDown(VK_F12);
    drive::KeyDown(VK_F12);
    drive::KeyUp(VK_F12);
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_EQ(game.log.Count("keydown 0x7b"), 6u) << game.log.Read();
    EXPECT_EQ(game.log.Count("said held"), 1u) << game.log.Read();

    // The keypad's Insert is no Insert to the game.
    ASSERT_TRUE(drive::BindSendKey(Folder(), "INS"));
    Relaunch(game);
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(game.log.WaitForLine("sendkey INS")) << game.log.Read();
    drive::WriteFileBytes(CfgPath(L"cstrike"), "say \"ins\"");
    drive::TapKey(VK_INSERT);  // no extended-key flag: KP_INS
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(game.log.Contains("exec say \"ins\"")) << game.log.Read();
    drive::TapExtendedKey(VK_INSERT);
    EXPECT_TRUE(game.log.WaitForLine("said ins")) << game.log.Read();
}

// The player's road through the module over the SDL2 game, windowed and
// fullscreen: the box opens in the game, Chinese text goes in, Enter says it,
// and the game keeps rendering all the while.
class BoxInSdlGame : public SdlGameTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(BoxInSdlGame, OpensTakesChineseAndSaysIt) {
    UseGameLoop(GetParam());
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"CStrike.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    EXPECT_EQ(::GetParent(box.dialog), game.window);
    EXPECT_EQ(drive::WindowText(box.prompt), kPromptSay);
    ASSERT_TRUE(drive::WaitForFocus(box.edit));
    ::PostMessageW(game.window, kModuleQueryMessage, 0, 0);
    EXPECT_TRUE(game.log.WaitForLine("module loaded")) << game.log.Read();

    const unsigned long long before = FramesRendered(game);
    const std::wstring text = L"\u4f60\u597d gg";
    drive::TypeText(text);
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, text)) << drive::WideToUtf8(drive::WindowText(box.edit));
    EXPECT_GT(FramesRendered(game), before) << "the game stopped rendering while the box was open";
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(game.log.WaitForLine("said \xE4\xBD\xA0\xE5\xA5\xBD gg")) << game.log.Read();
    EXPECT_EQ(ReadCfg(L"cstrike"), "say \"\xE4\xBD\xA0\xE5\xA5\xBD gg\"");
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(game.log.Contains("keydown 0x59")) << "the game received the hot key";
    EXPECT_FALSE(game.log.Contains("keydown 0xd")) << "the game received the box's Enter";

    // Closed as a player closes it, the game ends by itself with the module in it.
    ::PostMessageW(game.window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    EXPECT_TRUE(game.process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(game.log.WaitForLine("exit")) << game.log.Read();
}

// Pixels of `rect` on the screen that are not `background`: text drawn on it.
size_t InkPixels(const RECT& rect, COLORREF background) {
    const drive::ScreenPixels shot = drive::CaptureScreen(rect);
    size_t ink = 0;
    for (COLORREF pixel : shot.pixels) ink += pixel != background;
    return ink;
}

// The version label: the box's child that is neither the edit nor the prompt.
HWND VersionLabel(const ChatBox& box) {
    for (HWND child = ::GetWindow(box.dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (child != box.edit && child != box.prompt) return child;
    return nullptr;
}

// Where SDL's import entry of SwapBuffers leads now, as the game reports it.
std::vector<std::string> SwapEntryAnswers(const drive::LogFile& log) {
    std::vector<std::string> answers;
    std::istringstream lines(log.Read());
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind("swap entry ", 0) == 0) answers.push_back(line.substr(11));
    return answers;
}

std::string SwapEntry(const Game& game) {
    const size_t before = SwapEntryAnswers(game.log).size();
    ::PostMessageW(game.window, kSwapEntryMessage, 0, 0);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < drive::kDeadlineMs) {
        const std::vector<std::string> answers = SwapEntryAnswers(game.log);
        if (answers.size() > before) return answers.back();
        ::Sleep(20);
    }
    return "no answer";
}

// The game's own entry leads through the drawing only while a box is open: it
// holds gdi32's function again after Escape, and after the host exited with a
// box open, once that box closed.
TEST_P(BoxInSdlGame, SwapEntryIsTheSystemsAgainWhenTheBoxCloses) {
    UseGameLoop(GetParam());
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"CStrike.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    EXPECT_EQ(SwapEntry(game), "system");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    EXPECT_EQ(SwapEntry(game), "redirected");
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_EQ(SwapEntry(game), "system");

    box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    ASSERT_TRUE(drive::WaitForFocus(box.edit));
    StopHost();
    EXPECT_EQ(SwapEntry(game), "redirected") << "the box stays open and drawn after the host went";
    drive::TypeText(L"bye");
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"bye"));
    drive::TapKey(VK_RETURN);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(game.log.WaitForLine("said bye")) << game.log.Read();
    EXPECT_EQ(SwapEntry(game), "system");
}

// What the player reads in the box over the OpenGL frames: the typed text in
// the edit, the room left in the label's place once little is left, and the
// box gone after Enter, each seen over frames while the game keeps rendering.
TEST_P(BoxInSdlGame, TypedTextAndRoomLeftShowInTheFramesAndGoAfterEnter) {
    UseGameLoop(GetParam());
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    Game& game = LaunchGame(L"CStrike.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    ASSERT_TRUE(drive::WaitForFocus(box.edit));
    RECT edit, label, outer;
    ::GetWindowRect(box.edit, &edit);
    ::GetWindowRect(VersionLabel(box), &label);
    ::GetWindowRect(box.dialog, &outer);
    constexpr COLORREF kEditBack = 0x37463E;
    auto waitFor = [](const std::function<bool()>& seen) {
        const DWORD start = ::GetTickCount();
        while (!seen() && ::GetTickCount() - start < drive::kDeadlineMs) ::Sleep(20);
        return seen();
    };
    // An empty edit: nothing but its background (and the caret, a line of it).
    ASSERT_TRUE(waitFor([&] { return InkPixels(edit, kEditBack) < 40; })) << InkPixels(edit, kEditBack);
    const drive::ScreenPixels versionShown = drive::CaptureScreen(label);

    // Three parts' worth, 25 bytes left in the last: the label shows the part
    // count and the room in the version's place.
    const std::wstring text(275, L'w');
    drive::TypeText(text);
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, text));
    for (int sample = 0; sample < 3; ++sample) {
        const unsigned long long frames = FramesRendered(game);
        EXPECT_TRUE(waitFor([&] { return FramesRendered(game) > frames; })) << "the game stopped rendering";
        EXPECT_TRUE(waitFor([&] { return InkPixels(edit, kEditBack) > 200; }))
            << "no text in the edit, sample " << sample << ": " << InkPixels(edit, kEditBack);
        EXPECT_TRUE(waitFor([&] { return drive::CaptureScreen(label).pixels != versionShown.pixels; }))
            << "the label still shows the version, sample " << sample;
    }
    drive::TapKey(VK_RETURN);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    const POINT interior{outer.left + 2, outer.bottom - 3};
    EXPECT_TRUE(waitFor([&] { return ScreenPixel(interior) == kWorld; })) << "the box's picture stayed after Enter";
    EXPECT_TRUE(game.log.WaitForLine("said " + std::string(75, 'w'))) << game.log.Read();
    EXPECT_EQ(game.log.Count("said " + std::string(100, 'w')), 2u) << game.log.Read();
}

// With the drawing into the game's frames turned off (an environment value the
// game inherits), the box is a plain child of the GL window: it takes the keys
// but the player does not see it. This is what the pixel checks over this game
// would meet without the drawing: they can fail.
TEST_P(BoxInSdlGame, WithoutTheDrawingIntoTheFramesTheBoxIsNotSeen) {
    UseGameLoop(GetParam());
    ASSERT_TRUE(StartHost()) << HostLog().Read();
    ::SetEnvironmentVariableW(L"PARLIX_NO_FRAME_DRAWING", L"1");
    Game& game = LaunchGame(L"HL.exe");
    ::SetEnvironmentVariableW(L"PARLIX_NO_FRAME_DRAWING", nullptr);
    ASSERT_TRUE(game.window) << game.log.Read();
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    ASSERT_TRUE(drive::WaitForFocus(box.edit));
    drive::TypeText(L"unseen");
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"unseen"));
    RECT outer;
    ::GetWindowRect(box.dialog, &outer);
    const POINT interior{outer.left + 2, outer.bottom - 3};
    const unsigned long long first = FramesRendered(game);
    unsigned long long later = first;
    const DWORD start = ::GetTickCount();
    while (later < first + 10 && ::GetTickCount() - start < drive::kDeadlineMs) {
        EXPECT_NE(ScreenPixel(interior), RGB(0x4C, 0x58, 0x44)) << "the box's background showed";
        later = FramesRendered(game);
    }
    EXPECT_GE(later, first + 10) << "the frame counter stood still";
    drive::TapKey(VK_ESCAPE);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
}

INSTANTIATE_TEST_SUITE_P(Modes, BoxInSdlGame, testing::Values(L"sdl2-gl", L"sdl2-gl-fullscreen"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             return std::string(info.param == std::wstring(L"sdl2-gl") ? "windowed" : "fullscreen");
                         });

}  // namespace
}  // namespace e2e
