// The stand-in game: a top-level window without a cursor that records every key
// it receives and, on its send key, executes parlix.cfg of its mod folder as the
// game's console would (game_console_win32.h), recording what the other players
// would see. It plays the game's part for the module in the end-to-end tests and
// the demo, and it is no kinder than the game.
//
// The game thread runs as the game's builds run theirs (frame_loop_win32.h),
// chosen with --loop: "sdl" (the default), "sdl-noclip" or "quake". The SDL2
// loops handle the IME as SDL2 does (standin_ime_win32.h).
//
// Usage: <name>.exe --log <file> [--timeout <seconds>] [--loop <loop>] [--ime <layout name>]
//        [game arguments...]
// Log lines (UTF-8, one per event): "start <exe>", "sendkey <bind name>", "loop <loop>",
// "ime-context none", "ime 0x..." or "ime-failed <error>",
// "window 0x...", "keydown 0x59", "keyup 0x59", "setfocus", "killfocus", "layout 0x...",
// "exec <file content>", "exec-failed <error>", "said <text>",
// "said-team <text>", "said-rcon <text>", "dropped <command>: not UTF-8",
// "unknown <command line>", "unloaded <FreeLibrary calls>",
// "fault <code> at <address>", "module <loaded|gone>", the frame reports of the
// loop, "exit".
//
// Two private messages let a test play what happens to a real game from outside:
// kTakeFocusMessage, the game giving its own window the focus (as a click into it
// does); kUnloadModuleMessage, the system unloading the hook module from the
// game's thread after the hook went away (Wine never does that by itself), by
// FreeLibrary until the module is gone. After the unload every fault whose address
// lies in the module's former range is logged: code of the module was reached.
// kModuleQueryMessage logs whether the module is still mapped in the game, and
// kFrameStatsMessage the frame times since the last report, kFrameCountMessage
// the frames rendered since the start ("rendered <n>").
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "frame_loop_win32.h"
#include "game_console_win32.h"
#include "standin_ime_win32.h"
#include "tool_support_win32.h"

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT kDefaultTimeoutSeconds = 90;
using gameconsole::kModuleQueryMessage;
using gameconsole::kTakeFocusMessage;
using gameconsole::kUnloadModuleMessage;
using gameconsole::WriteLog;

struct Game {
    std::wstring modFolder;  // with a trailing backslash
    std::string sendKey;  // the engine's name of the bound key; empty: none bound
    bool sdlIme = false;  // the IME handled as SDL2 does; the Quake-derived builds leave it to the system
};
Game g_game;

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        // The game shows no cursor during play; the module relies on that.
        if (LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WriteLog("keydown " + HexNumber(wParam));
        if (!g_game.sendKey.empty() && gameconsole::EngineKeyName(lParam) == g_game.sendKey)
            gameconsole::ExecuteCommandFile(g_game.modFolder);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WriteLog("keyup " + HexNumber(wParam));
        return 0;
    case WM_IME_SETCONTEXT:
        if (!g_game.sdlIme) break;
        return ::DefWindowProcW(window, message, wParam, standin::WithoutImeWindows(lParam));
    case WM_SETFOCUS:
        WriteLog("setfocus");
        return 0;
    case WM_KILLFOCUS:
        WriteLog("killfocus");
        return 0;
    case WM_TIMER:
        if (wParam == kTimeoutTimer) {
            WriteLog("timeout");
            ::DestroyWindow(window);
        }
        return 0;
    case kTakeFocusMessage:
        ::SetFocus(window);
        return 0;
    case standin::kReportLayoutMessage:
        WriteLog(standin::ActiveLayoutLine());
        return 0;
    case kUnloadModuleMessage:
        gameconsole::UnloadHookModule();
        return 0;
    case kModuleQueryMessage:
        WriteLog(gameconsole::ModuleStateLine());
        return 0;
    case kFrameStatsMessage:
        ReportFrameStats(gameconsole::Log());
        return 0;
    case kFrameCountMessage:
        ReportFramesRendered(gameconsole::Log());
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> args = CommandLineArguments();

    std::wstring logPath;
    UINT timeoutSeconds = kDefaultTimeoutSeconds;
    std::wstring imeLayout;
    GameLoop loop = GameLoop::Sdl;
    bool knownLoop = true;
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == L"--log") logPath = args[i + 1];
        if (args[i] == L"--ime") imeLayout = args[i + 1];
        if (args[i] == L"--timeout") timeoutSeconds = static_cast<UINT>(std::wcstoul(args[i + 1].c_str(), nullptr, 10));
        if (args[i] == L"--loop") knownLoop = ParseGameLoop(args[i + 1], loop);
    }
    gameconsole::OpenLog(logPath);

    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    g_game.modFolder = gameconsole::DecideModFolder(exePath, args);
    const std::string bound = gameconsole::ReadSendKey(g_game.modFolder);
    g_game.sendKey = gameconsole::BindKeyName(bound);
    WriteLog("start " + Utf8FromWide(exePath) + " mod " + Utf8FromWide(g_game.modFolder));
    WriteLog("sendkey " + bound);
    if (!knownLoop) {
        WriteLog("unknown-loop");
        return 2;
    }
    WriteLog(std::string("loop ") + GameLoopName(loop));

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH));
    windowClass.lpszClassName = L"ParlixStandinGame";
    ::RegisterClassW(&windowClass);
    // The title names the executable so that a person watching the screen can tell games apart.
    const wchar_t* name = std::wcsrchr(exePath, L'\\');
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, name ? name + 1 : exePath,
                                    GameWindowStyle(loop), 40, 40, 800, 600, nullptr, nullptr,
                                    instance, nullptr);
    if (!window) {
        WriteLog("window-failed " + std::to_string(::GetLastError()));
        return 2;
    }
    g_game.sdlIme = loop != GameLoop::Quake;
    if (g_game.sdlIme) WriteLog(standin::TakeImeOffWindow(window));
    if (!imeLayout.empty()) WriteLog(standin::ActivateImeLayout(imeLayout));
    ::SetCursor(nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    if (timeoutSeconds > 0) ::SetTimer(window, kTimeoutTimer, timeoutSeconds * 1000, nullptr);
    WriteLog("window " + HexNumber(reinterpret_cast<UINT_PTR>(window)));

    const int exitCode = RunGameLoop(window, loop, gameconsole::Log());
    WriteLog("exit");
    gameconsole::CloseLog();
    return exitCode;
}
