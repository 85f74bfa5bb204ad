// The demo: one message on its whole road. The host installs the hook, the
// stand-in game runs, Y opens the chat box, Chinese text is typed into it, Enter
// writes parlix.cfg and presses the send key, and the game executes the file.
// Prints each step; exit code 0 only when every step worked.
//
// A second message fills the box to its limit: a second screenshot shows the
// room left. A third is typed through an IME (the project's test IME) in a game
// whose thread has it active: the third screenshot shows the composition and
// the IME's candidates in the box. Over the SDL2 game a last message is typed
// with the game fullscreen, for a fourth screenshot.
//
// Usage: ParlixDemo.exe <output folder> [game loop]   (logs, chatbox.bmp, chatbox-limit.bmp,
//        chatbox-ime.bmp, over the SDL2 game chatbox-fullscreen.bmp; the loop as drive_win32.h
//        names them, "sdl2-gl" by default: the SDL2 game that renders with OpenGL, the box drawn
//        into its frames; "sdl2-gl-fullscreen"; "sdl": the GDI stand-in)
#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "drive_win32.h"
#include "test_ime_install_win32.h"

namespace {

const wchar_t kMessage[] = L"\u4f60\u597d, Parlix!";  // 你好, Parlix!
// 今天的比赛打得很好 ("today's match was well played"), repeated to fill the box.
const wchar_t kLongMessagePart[] = L"\u4eca\u5929\u7684\u6bd4\u8d5b\u6253\u5f97\u5f88\u597d";

int g_step = 0;

void Step(const std::string& text) {
    std::printf("[%d] %s\n", ++g_step, text.c_str());
    std::fflush(stdout);
}

int Fail(const std::string& text) {
    std::printf("    FAILED: %s\n", text.c_str());
    std::fflush(stdout);
    return 1;
}

std::string Hex(const std::string& bytes) {
    std::string text;
    char buffer[4];
    for (unsigned char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", c);
        text += buffer;
    }
    return text;
}

// The painted frame shows that the box has drawn itself before the screenshot.
// Paints still pending in the game's thread (typing keeps its queue busy, and
// WM_PAINT comes last) are carried out first, the edit's included.
bool WaitForPaintedFrame(HWND dialog) {
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    DWORD start = ::GetTickCount();
    for (;;) {
        RECT rect;
        ::GetWindowRect(dialog, &rect);
        HDC screen = ::GetDC(nullptr);
        COLORREF corner = ::GetPixel(screen, rect.left, rect.top);
        ::ReleaseDC(nullptr, screen);
        if (corner == 0x809188) return true;
        if (::GetTickCount() - start > drive::kDeadlineMs) return false;
        ::Sleep(20);
    }
}

int RunDemo(const std::wstring& out, const std::wstring& loop) {
    using namespace drive;
    // The GDI stand-in's game folder is made by the build; the SDL2 game's is staged here.
    std::wstring gameFolder = ProgramFolder() + (IsSdl2GlLoop(loop) ? L"game-sdl2\\" : L"game\\");
    if (IsSdl2GlLoop(loop)) {
        ::CreateDirectoryW(gameFolder.c_str(), nullptr);
        StageGame(gameFolder, L"HL.exe", true, loop);
    }
    std::wstring gameExe = gameFolder + L"HL.exe";
    std::wstring cfg = gameFolder + L"cstrike\\parlix.cfg";

    Step("game folder " + WideToUtf8(gameFolder) + ": the host binds F12 to exec parlix.cfg in cstrike\\userconfig.cfg");
    if (!BindSendKey(gameFolder, "F12"))
        return Fail("cannot write userconfig.cfg (was the stand-in game built?)");
    ::DeleteFileW(cfg.c_str());

    Step("settings in HKCU\\Software\\Kelvandor\\Parlix: Executable File = " + WideToUtf8(gameExe) +
         ", Send Key = F12");
    ResetSettings();
    SetSetting(L"Executable File", gameExe);
    SetSetting(L"Send Key", std::wstring(L"F12"));

    Step("the test host loads Parlix.dll, sets the hot keys Y (say), U (say_team), P (rcon say), installs the hook");
    LogFile hostLog(out + L"host.log");
    ::DeleteFileW(hostLog.Path().c_str());
    Process host;
    if (!StartHost(host, hostLog)) return Fail("the host did not install the hook; its log: " + hostLog.Read());
    std::string installed;
    hostLog.WaitForPrefix("installed ", &installed, 0);
    std::printf("    host: %s\n", installed.c_str());

    Step("the stand-in game HL.exe starts and takes the focus");
    LogFile gameLog(out + L"game.log");
    ::DeleteFileW(gameLog.Path().c_str());
    Process game;
    if (!StartGame(game, gameExe, gameLog, L"--loop " + loop)) return Fail("the game could not be started");
    HWND gameWindow = WaitForProcessWindow(game.Id(), GameWindowClass(loop));
    if (!gameWindow) return Fail("the game window never appeared");
    if (!WaitForForeground(gameWindow)) return Fail("the game window never got the focus");

    Step("Y is pressed in the game");
    TapKey(kSayKey);
    ChatBox box;
    if (!WaitForChatBox(gameWindow, box)) return Fail("no chat box opened");
    std::printf("    the chat box is open; prompt: %s\n", WideToUtf8(WindowText(box.prompt)).c_str());
    if (gameLog.Contains("keydown 0x59")) return Fail("the game received the hot key");

    Step("\"" + WideToUtf8(kMessage) + "\" is typed (Unicode input)");
    TypeText(kMessage);
    if (!WaitForWindowText(box.edit, kMessage))
        return Fail("the box shows \"" + WideToUtf8(WindowText(box.edit)) + "\"");

    std::wstring shot = out + L"chatbox.bmp";
    if (!WaitForPaintedFrame(box.dialog)) std::printf("    (the box's frame is not painted yet)\n");
    if (!SaveWindowScreenshot(gameWindow, shot)) return Fail("no screenshot could be saved");
    Step("screenshot of the game with the open chat box: " + WideToUtf8(shot));

    Step("Enter is pressed");
    TapKey(VK_RETURN);
    std::string expected = "say \"" + WideToUtf8(kMessage) + "\"";
    if (!gameLog.WaitForLine("exec " + expected)) return Fail("the game did not execute the message; game log:\n" + gameLog.Read());
    std::string bytes;
    ReadFileBytes(cfg, bytes);
    std::printf("    %s holds %u bytes: %s\n", WideToUtf8(cfg).c_str(), static_cast<unsigned>(bytes.size()),
                Hex(bytes).c_str());
    std::printf("    the game executed: %s\n", expected.c_str());
    if (!WaitForNoChatBox(gameWindow)) return Fail("the chat box did not close");
    std::printf("    the chat box is closed and the game has the focus again: %s\n",
                FocusOfThread(gameWindow) == gameWindow ? "yes" : "no");

    Step("Y again, and a long message: the box takes three lines of 100 bytes of UTF-8 and shows the room left "
         "in the last one near the end");
    TapKey(kSayKey);
    if (!WaitForChatBox(gameWindow, box)) return Fail("no chat box opened");
    std::wstring longMessage;
    for (int i = 0; i < 110; ++i) longMessage += kLongMessagePart[i % (std::size(kLongMessagePart) - 1)];
    TypeText(longMessage);
    // 33 characters (99 bytes) a line: a 100th character would not fit the third.
    const std::wstring kept = longMessage.substr(0, 99);
    if (!WaitForWindowText(box.edit, kept)) return Fail("the box shows \"" + WideToUtf8(WindowText(box.edit)) + "\"");
    HWND label = ::GetWindow(box.prompt, GW_HWNDNEXT);
    const std::wstring room = L"3/3 \u8fd8\u5269 1 \u5b57\u8282";  // the third line, 1 byte left
    if (!WaitForWindowText(label, room)) return Fail("the label shows \"" + WideToUtf8(WindowText(label)) + "\"");
    std::printf("    %u characters typed, the box kept %u (%u bytes); the label reads \"%s\"\n",
                static_cast<unsigned>(longMessage.size()), static_cast<unsigned>(kept.size()),
                static_cast<unsigned>(WideToUtf8(kept).size()), WideToUtf8(room).c_str());
    std::wstring limitShot = out + L"chatbox-limit.bmp";
    if (!WaitForPaintedFrame(box.dialog)) std::printf("    (the box's frame is not painted yet)\n");
    if (!SaveWindowScreenshot(gameWindow, limitShot)) return Fail("no screenshot could be saved");
    Step("screenshot of the box near the limit: " + WideToUtf8(limitShot));
    TapKey(VK_RETURN);
    // The lines go out paced, at least 1.1 s apart.
    for (size_t line = 0; line < kept.size(); line += 33) {
        const std::string said = "said " + WideToUtf8(kept.substr(line, 33));
        if (!gameLog.WaitForLine(said)) return Fail("the other players did not see line " + std::to_string(line / 33 + 1) +
                                                    "; game log:\n" + gameLog.Read());
    }
    std::printf("    the other players see all %u characters in three lines\n", static_cast<unsigned>(kept.size()));
    if (!WaitForNoChatBox(gameWindow)) return Fail("the chat box did not close");

    Step("the game restarts with the test IME as its keyboard layout, as a player typing Chinese has it");
    game.Stop();
    std::string why;
    const std::wstring imeLayout = InstallTestIme(&why);
    if (imeLayout.empty()) return Fail(why);
    LogFile imeGameLog(out + L"game-ime.log");
    ::DeleteFileW(imeGameLog.Path().c_str());
    if (!StartGame(game, gameExe, imeGameLog, L"--loop " + loop + L" --ime " + imeLayout))
        return Fail("the game could not be started");
    gameWindow = WaitForProcessWindow(game.Id(), GameWindowClass(loop));
    if (!gameWindow || !WaitForForeground(gameWindow)) return Fail("the game window never got the focus");
    if (!imeGameLog.WaitForPrefix("ime 0x")) return Fail("the IME's layout was not loaded; game log:\n" + imeGameLog.Read());
    std::printf("    the game thread's layout: %s\n", WideToUtf8(imeLayout).c_str());

    Step("Y, then the letters n i: the IME composes \"ni\" and offers its candidates, which the box shows");
    TapKey(kSayKey);
    if (!WaitForChatBox(gameWindow, box)) return Fail("no chat box opened");
    RECT closedBox;
    ::GetWindowRect(box.dialog, &closedBox);
    TapKey(VK_SHIFT);  // Wine swaps the IME in at the thread's next key press
    TapKey('N');
    TapKey('I');
    if (!WaitForCandidates(box, closedBox)) return Fail("the box shows no candidates");
    std::wstring imeShot = out + L"chatbox-ime.bmp";
    if (!WaitForPaintedFrame(box.dialog)) std::printf("    (the box's frame is not painted yet)\n");
    if (!SaveWindowScreenshot(gameWindow, imeShot)) return Fail("no screenshot could be saved");
    Step("screenshot of the box with the composition and the candidate list: " + WideToUtf8(imeShot));

    Step("Space takes the first candidate, Enter says it");
    TapKey(VK_SPACE);
    const std::wstring chosen = L"\u4f60";  // 你
    if (!WaitForWindowText(box.edit, chosen)) return Fail("the box shows \"" + WideToUtf8(WindowText(box.edit)) + "\"");
    TapKey(VK_RETURN);
    if (!imeGameLog.WaitForLine("said " + WideToUtf8(chosen)))
        return Fail("the other players did not see the message; game log:\n" + imeGameLog.Read());
    std::printf("    the other players see: %s\n", WideToUtf8(chosen).c_str());
    if (!WaitForNoChatBox(gameWindow)) return Fail("the chat box did not close");

    if (IsSdl2GlLoop(loop)) {
        Step("the game restarts fullscreen; Y and a message: the box is drawn into the fullscreen frames");
        game.Stop();
        LogFile fullLog(out + L"game-fullscreen.log");
        ::DeleteFileW(fullLog.Path().c_str());
        if (!StartGame(game, gameExe, fullLog, L"--loop sdl2-gl-fullscreen"))
            return Fail("the game could not be started");
        gameWindow = WaitForProcessWindow(game.Id(), GameWindowClass(L"sdl2-gl-fullscreen"));
        if (!gameWindow || !WaitForForeground(gameWindow)) return Fail("the game window never got the focus");
        TapKey(kSayKey);
        if (!WaitForChatBox(gameWindow, box)) return Fail("no chat box opened");
        TypeText(kMessage);
        if (!WaitForWindowText(box.edit, kMessage))
            return Fail("the box shows \"" + WideToUtf8(WindowText(box.edit)) + "\"");
        std::wstring fullShot = out + L"chatbox-fullscreen.bmp";
        if (!WaitForPaintedFrame(box.dialog)) std::printf("    (the box's frame is not painted yet)\n");
        if (!SaveWindowScreenshot(gameWindow, fullShot)) return Fail("no screenshot could be saved");
        Step("screenshot of the fullscreen game with the open chat box: " + WideToUtf8(fullShot));
        TapKey(VK_RETURN);
        if (!fullLog.WaitForLine("said " + WideToUtf8(kMessage)))
            return Fail("the other players did not see the message; game log:\n" + fullLog.Read());
        if (!WaitForNoChatBox(gameWindow)) return Fail("the chat box did not close");
    }

    Step("the game and the host stop (the host removes the hook)");
    game.Stop();
    host.Stop();
    if (!hostLog.Contains("uninstalled")) return Fail("the host did not remove the hook");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring out = argc > 1 ? argv[1] : drive::ProgramFolder();
    if (!out.empty() && out.back() != L'\\') out += L'\\';
    ::CreateDirectoryW(out.c_str(), nullptr);
    int result = RunDemo(out, argc > 2 ? argv[2] : L"sdl2-gl");
    std::printf(result == 0 ? "demo: every step worked\n" : "demo: a step failed\n");
    return result;
}
