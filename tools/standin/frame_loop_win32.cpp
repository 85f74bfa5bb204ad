#include "frame_loop_win32.h"

#include <cstdio>

#include "framework/unique_handle_win32.h"
#include "tool_support_win32.h"

namespace {

// The colour the game renders its world in, unlike any colour of the chat box.
constexpr COLORREF kWorldColour = RGB(0x30, 0x50, 0x70);
constexpr double kLongFrameMs = 50.0;

struct FrameStats {
    LONGLONG frequency = 0;
    LONGLONG lastStart = 0;  // 0: no frame yet
    unsigned long frames = 0;
    double longestMs = 0;
    double totalMs = 0;
};
FrameStats g_stats;

LONGLONG Now() {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Milliseconds(LONGLONG ticks) { return static_cast<double>(ticks) * 1000.0 / static_cast<double>(g_stats.frequency); }

void CountFrame(LONGLONG start, HANDLE log) {
    if (g_stats.lastStart != 0) {
        const double gap = Milliseconds(start - g_stats.lastStart);
        ++g_stats.frames;
        g_stats.totalMs += gap;
        if (gap > g_stats.longestMs) g_stats.longestMs = gap;
        if (gap > kLongFrameMs) {
            char line[64];
            std::snprintf(line, sizeof line, "long-frame %.1f", gap);
            AppendLogLine(log, line);
        }
    }
    g_stats.lastStart = start;
}

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

// Waits out the rest of the frame; the thread takes no message meanwhile.
void WaitForNextFrame(LONGLONG frameStart) {
    const double spent = Milliseconds(Now() - frameStart);
    if (spent < kFramePeriodMs) ::Sleep(static_cast<DWORD>(kFramePeriodMs - spent));
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

void ReportFrameStats(HANDLE log) {
    char line[128];
    const double mean = g_stats.frames ? g_stats.totalMs / g_stats.frames : 0.0;
    std::snprintf(line, sizeof line, "frames %lu longest %.1f mean %.1f period %lu", g_stats.frames,
                  g_stats.longestMs, mean, static_cast<unsigned long>(kFramePeriodMs));
    AppendLogLine(log, line);
    g_stats.frames = 0;
    g_stats.longestMs = 0;
    g_stats.totalMs = 0;
}

int RunGameLoop(HWND window, GameLoop loop, HANDLE log) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    g_stats.frequency = frequency.QuadPart;
    UniqueBrush world(::CreateSolidBrush(kWorldColour));
    int exitCode = 0;
    for (;;) {
        const LONGLONG start = Now();
        CountFrame(start, log);
        const bool running = loop == GameLoop::Quake ? PumpQuake(exitCode) : PumpSdl(exitCode);
        if (!running) break;
        RenderFrame(window, world.get());
        WaitForNextFrame(start);
    }
    ReportFrameStats(log);
    return exitCode;
}
