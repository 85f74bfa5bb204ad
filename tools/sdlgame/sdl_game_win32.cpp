// The SDL2 stand-in game: the game's part played on the real SDL2 library,
// rendering with OpenGL as the game's SDL2 build does. SDL owns the window, its
// window procedure, its message loop (SDL_PollEvent every frame) and its IME
// handling, all untouched: text input is on as SDL starts it. Every 10 ms the game
// clears its world and draws what moves with OpenGL 1.x, then presents the frame
// with SDL_GL_SwapWindow (gdi32 SwapBuffers), so a frame that did not come shows.
//
// It is no kinder than the game: the command file, the send key and the log are
// the game console's (game_console_win32.h), as in the GDI stand-in. The engine
// sees keys only as SDL's key events, so the send key is told from the event's
// scancode, which SDL makes from the key message's scan code and extended-key bit
// (sdl_key_names.h); key repeats run no bind, as in the engine. The key log
// ("keydown 0x59", "keyup 0x59"), "setfocus" and "killfocus" come from the window
// messages SDL hands on as its system events: what SDL's window procedure got.
//
// Usage: <name>.exe --log <file> [--timeout <seconds>] [--loop sdl2-gl|sdl2-gl-fullscreen]
//        [--fullscreen] [--ime <layout name>] [game arguments...]
// "sdl2-gl-fullscreen" and --fullscreen make the window fullscreen-desktop (a
// borderless window over the whole screen). Log lines besides those of the GDI
// stand-in: "gl <version>", "sdl-failed <what>: <SDL's error>", "rendered <n>".
// The private messages of the tests are those of the GDI stand-in;
// standin::kTextInputMessage calls SDL's own SDL_StartTextInput (1) or
// SDL_StopTextInput (0).
#include <windows.h>

#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <SDL_opengl.h>
#include <SDL_syswm.h>

#include <cstdlib>
#include <cwchar>
#include <cstring>
#include <string>
#include <vector>

#include "frame_stats_win32.h"
#include "framework/unique_handle_win32.h"
#include "game_console_win32.h"
#include "sdl_key_names.h"
#include "standin_ime_win32.h"
#include "tool_support_win32.h"

namespace {

constexpr unsigned kDefaultTimeoutSeconds = 90;
constexpr int kWindowWidth = 800, kWindowHeight = 600;
// The world's colour (as the GDI stand-in's), unlike any colour of the chat box.
constexpr GLubyte kWorld[3] = {0x30, 0x50, 0x70};
// Along the top edge a bar moves across the window, one step a frame, and the
// square in the top left corner changes its shade every frame: a stale frame
// shows there, away from where the chat box goes.
constexpr int kStripHeight = 16, kBarWidth = 48, kBarStep = 8;
constexpr int kPulseSize = 16;

using gameconsole::WriteLog;

struct Game {
    std::wstring modFolder;  // with a trailing backslash
    std::string sendKey;  // the engine's name of the bound key; empty: none bound
    HWND window = nullptr;
    bool running = true;
};
Game g_game;

constexpr UINT kSwapEntryMessage = WM_APP + 10;  // logs "swap entry <state>"

// Where SDL's own import entry of gdi32's SwapBuffers leads: "system" while it
// holds gdi32's function, "redirected" while another does, "missing" when SDL
// does not import it by that name.
std::string SwapEntryLine() {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(L"SDL2.dll"));
    const auto system = reinterpret_cast<ULONG_PTR>(::GetProcAddress(::GetModuleHandleW(L"gdi32.dll"), "SwapBuffers"));
    if (base == nullptr || system == 0) return "swap entry missing";
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; import->Name != 0; ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "gdi32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            if (std::strcmp(name, "SwapBuffers") != 0) continue;
            return slots->u1.Function == system ? "swap entry system" : "swap entry redirected";
        }
    }
    return "swap entry missing";
}

// What a window message that SDL's window procedure got makes the game do
// beyond SDL: the log, and the private messages of the tests.
void OnWindowMessage(const SDL_SysWMmsg& message) {
    if (message.subsystem != SDL_SYSWM_WINDOWS || message.msg.win.hwnd != g_game.window) return;
    const UINT id = message.msg.win.msg;
    const WPARAM wParam = message.msg.win.wParam;
    switch (id) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WriteLog("keydown " + HexNumber(wParam));
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WriteLog("keyup " + HexNumber(wParam));
        break;
    case WM_SETFOCUS:
        WriteLog("setfocus");
        break;
    case WM_KILLFOCUS:
        WriteLog("killfocus");
        break;
    case gameconsole::kTakeFocusMessage:
        ::SetFocus(g_game.window);
        break;
    case gameconsole::kUnloadModuleMessage:
        gameconsole::UnloadHookModule();
        break;
    case gameconsole::kModuleQueryMessage:
        WriteLog(gameconsole::ModuleStateLine());
        break;
    case kFrameStatsMessage:
        ReportFrameStats(gameconsole::Log());
        break;
    case kFrameCountMessage:
        ReportFramesRendered(gameconsole::Log());
        break;
    case kSwapEntryMessage:
        WriteLog(SwapEntryLine());
        break;
    case standin::kReportLayoutMessage:
        WriteLog(standin::ActiveLayoutLine());
        break;
    case standin::kTextInputMessage:
        // The engine stops SDL's text input as its console and menus come and
        // go; SDL itself then cancels the composition on the window's context.
        if (wParam) SDL_StartTextInput();
        else SDL_StopTextInput();
        WriteLog(wParam ? "textinput on" : "textinput off");
        break;
    }
}

void OnKeyDown(const SDL_KeyboardEvent& key) {
    if (key.repeat || g_game.sendKey.empty()) return;
    if (sdlgame::EngineKeyNameOfScancode(key.keysym.scancode) == g_game.sendKey)
        gameconsole::ExecuteCommandFile(g_game.modFolder);
}

// The engine's frame starts with SDL's event pump.
void HandleEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            g_game.running = false;
            break;
        case SDL_SYSWMEVENT:
            OnWindowMessage(*event.syswm.msg);
            break;
        case SDL_KEYDOWN:
            OnKeyDown(event.key);
            break;
        }
    }
}

// This SDL hides the cursor behind a blank cursor of its own (since 2.26), where
// the SDL2 the game ships (2.0.20) sets no cursor at all, SetCursor(NULL): when
// its window answers WM_SETCURSOR in the client area, and when it hides the
// cursor or the mouse comes in. The module takes a thread with no cursor for a
// game in play, so the game's thread has none here either: right after SDL's
// window procedure answered WM_SETCURSOR (a hook of this thread that only
// watches, SDL's procedure stays as it is), and after each frame's messages.
void Unhook(HHOOK hook) noexcept { ::UnhookWindowsHookEx(hook); }
using UniqueHook = UniqueHandle<HHOOK, Unhook>;

bool CursorHidden() { return SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE; }

LRESULT CALLBACK AfterWindowProcedure(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_SETCURSOR && call->hwnd == g_game.window &&
        LOWORD(call->lParam) == HTCLIENT && CursorHidden())
        ::SetCursor(nullptr);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void HideCursorAsTheGamesSdl() {
    if (CursorHidden()) ::SetCursor(nullptr);
}

void Render(SDL_Window* window, unsigned long long frame) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(window, &width, &height);
    glViewport(0, 0, width, height);
    glClearColor(kWorld[0] / 255.0f, kWorld[1] / 255.0f, kWorld[2] / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);  // window coordinates, y down
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const int span = width > kBarWidth ? width - kBarWidth : 1;
    const int x = static_cast<int>((frame * kBarStep) % static_cast<unsigned long long>(span)) + kPulseSize;
    const auto shade = static_cast<GLubyte>(0x80 + (frame * 37) % 0x80);
    glBegin(GL_QUADS);
    glColor3ub(0xE0, 0xC0, 0x40);
    glVertex2i(x, 0), glVertex2i(x + kBarWidth, 0), glVertex2i(x + kBarWidth, kStripHeight), glVertex2i(x, kStripHeight);
    glColor3ub(shade, shade, shade);
    glVertex2i(0, 0), glVertex2i(kPulseSize, 0), glVertex2i(kPulseSize, kPulseSize), glVertex2i(0, kPulseSize);
    glEnd();
}

int Fail(const char* what) {
    WriteLog(std::string("sdl-failed ") + what + ": " + SDL_GetError());
    gameconsole::CloseLog();
    return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> args = CommandLineArguments();
    std::wstring logPath, imeLayout, loop = L"sdl2-gl";
    unsigned timeoutSeconds = kDefaultTimeoutSeconds;
    bool fullscreen = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == L"--fullscreen") fullscreen = true;
        if (i + 1 >= args.size()) continue;
        if (args[i] == L"--log") logPath = args[i + 1];
        if (args[i] == L"--ime") imeLayout = args[i + 1];
        if (args[i] == L"--timeout") timeoutSeconds = static_cast<unsigned>(std::wcstoul(args[i + 1].c_str(), nullptr, 10));
        if (args[i] == L"--loop") loop = args[i + 1];
    }
    gameconsole::OpenLog(logPath);

    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    g_game.modFolder = gameconsole::DecideModFolder(exePath, args);
    const std::string bound = gameconsole::ReadSendKey(g_game.modFolder);
    g_game.sendKey = gameconsole::BindKeyName(bound);
    WriteLog("start " + Utf8FromWide(exePath) + " mod " + Utf8FromWide(g_game.modFolder));
    WriteLog("sendkey " + bound);
    if (loop == L"sdl2-gl-fullscreen") fullscreen = true;
    else if (loop != L"sdl2-gl") {
        WriteLog("unknown-loop");
        return 2;
    }
    WriteLog(fullscreen ? "loop sdl2-gl-fullscreen" : "loop sdl2-gl");

    SDL_SetMainReady();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return Fail("init");
    // The title names the executable so that a person watching the screen can tell games apart.
    const wchar_t* name = std::wcsrchr(exePath, L'\\');
    const std::string title = Utf8FromWide(name ? name + 1 : exePath);
    const Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | (fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    SDL_Window* window = SDL_CreateWindow(title.c_str(), 40, 40, kWindowWidth, kWindowHeight, flags);
    if (window == nullptr) return Fail("window");
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (context == nullptr) return Fail("context");
    SDL_GL_SetSwapInterval(0);  // the frame clock paces the game, not the display
    WriteLog(std::string("gl ") + reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) return Fail("window handle");
    g_game.window = info.info.win.window;
    // Every window message SDL's window procedure gets comes back as an event.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    // The game shows no cursor during play; the module relies on that.
    SDL_ShowCursor(SDL_DISABLE);
    UniqueHook cursorHook(::SetWindowsHookExW(WH_CALLWNDPROCRET, AfterWindowProcedure, nullptr, ::GetCurrentThreadId()));
    HideCursorAsTheGamesSdl();
    if (!imeLayout.empty()) WriteLog(standin::ActivateImeLayout(imeLayout));
    SDL_RaiseWindow(window);
    WriteLog("window " + HexNumber(reinterpret_cast<UINT_PTR>(g_game.window)));

    const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeoutSeconds) * 1000;
    unsigned long long frame = 0;
    while (g_game.running) {
        const LONGLONG start = StartFrame(gameconsole::Log());
        HandleEvents();
        if (!g_game.running) break;
        HideCursorAsTheGamesSdl();
        Render(window, frame++);
        SDL_GL_SwapWindow(window);
        if (timeoutSeconds > 0 && SDL_GetTicks64() >= deadline) {
            WriteLog("timeout");
            break;
        }
        WaitForNextFrame(start);
    }
    ReportFrameStats(gameconsole::Log());
    // "exit": the game left its loop. Logged before SDL takes its window down:
    // 32-bit Wine 8 ends the process inside SDL_DestroyWindow with an X error
    // (BadWindow in X_ReparentWindow) once a child window has lived in the GL
    // window, as the chat box does; 64-bit Wine does not.
    WriteLog("exit");
    gameconsole::CloseLog();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
