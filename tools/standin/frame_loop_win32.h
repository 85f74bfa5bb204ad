// The stand-in game's main loops, as the game's builds run theirs. The game thread
// is never idle: it takes its messages and then renders the whole client area,
// once every 10 ms frame, so a child window that does not protect itself is
// painted over and a module that holds the thread shows as a frame that came late.
#pragma once

#include <windows.h>

#include <string>

#include "frame_stats_win32.h"

enum class GameLoop {
    // The SDL2 build: a window with WS_CLIPCHILDREN | WS_CLIPSIBLINGS; each frame
    // takes every waiting message with PeekMessageW(PM_REMOVE), then renders.
    Sdl,
    // The same loop over a window without WS_CLIPCHILDREN.
    SdlNoClip,
    // The Quake-derived builds: PeekMessageA(PM_NOREMOVE) to look, GetMessageA to
    // take, an ANSI pump over a window without WS_CLIPCHILDREN. The hook sees each
    // key first with HC_NOREMOVE; a key it eats leaves GetMessage waiting for the
    // next message, as in the game.
    Quake,
};

// "sdl", "sdl-noclip", "quake"; false for any other name.
bool ParseGameLoop(const std::wstring& name, GameLoop& loop);
const char* GameLoopName(GameLoop loop);
// The window styles the loop's build gives its game window.
DWORD GameWindowStyle(GameLoop loop);

// Runs the loop until WM_QUIT and gives its exit code. Frame times go to `log`
// (frame_stats_win32.h), the last report at the end.
int RunGameLoop(HWND window, GameLoop loop, HANDLE log);
