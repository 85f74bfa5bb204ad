#include "frame_loop_win32.h"

#include "framework/unique_handle_win32.h"
#include "tool_support_win32.h"

namespace {

// The colour the game renders its world in, unlike any colour of the chat box.
constexpr COLORREF kWorldColour = RGB(0x30, 0x50, 0x70);

// The whole client area every frame, through the window's own DC: its clip
// styles decide what is spared, as the pixel format of a GL window does.
void RenderFrame(HWND window, HBRUSH world) {
    RECT client;
    if (!::GetClientRect(window, &client)) return;
    HDC dc = ::GetDC(window);
    if (dc == nullptr) return;
    ::FillRect(dc, &client, world);
    ::ReleaseDC(window, dc);
    ::GdiFlush();
}

// False once WM_QUIT came; its exit code is then in `exitCode`.
bool PumpSdl(int& exitCode) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            exitCode = static_cast<int>(message.wParam);
            return false;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

bool PumpQuake(int& exitCode) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
        if (::GetMessageA(&message, nullptr, 0, 0) <= 0) {
            exitCode = static_cast<int>(message.wParam);
            return false;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return true;
}

}  // namespace

bool ParseGameLoop(const std::wstring& name, GameLoop& loop) {
    if (name == L"sdl") loop = GameLoop::Sdl;
    else if (name == L"sdl-noclip") loop = GameLoop::SdlNoClip;
    else if (name == L"quake") loop = GameLoop::Quake;
    else return false;
    return true;
}

const char* GameLoopName(GameLoop loop) {
    switch (loop) {
    case GameLoop::Sdl: return "sdl";
    case GameLoop::SdlNoClip: return "sdl-noclip";
    case GameLoop::Quake: return "quake";
    }
    return "?";
}

DWORD GameWindowStyle(GameLoop loop) {
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    return loop == GameLoop::Sdl ? style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS : style;
}

int RunGameLoop(HWND window, GameLoop loop, HANDLE log) {
    UniqueBrush world(::CreateSolidBrush(kWorldColour));
    int exitCode = 0;
    for (;;) {
        const LONGLONG start = StartFrame(log);
        const bool running = loop == GameLoop::Quake ? PumpQuake(exitCode) : PumpSdl(exitCode);
        if (!running) break;
        RenderFrame(window, world.get());
        WaitForNextFrame(start);
    }
    ReportFrameStats(log);
    return exitCode;
}
