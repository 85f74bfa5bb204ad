// The frame clock of the stand-in games: a frame every 10 ms, and the frame log
// the tests and the frame benchmark read.
#pragma once

#include <windows.h>

inline constexpr DWORD kFramePeriodMs = 10;

// The message that asks for the frame report (posted to the game window).
inline constexpr UINT kFrameStatsMessage = WM_APP + 3;
// The message that asks for the number of frames rendered since the start
// ("rendered <n>"), which, unlike the report, starts no new count.
inline constexpr UINT kFrameCountMessage = WM_APP + 5;

// The start of the frame that begins now. Called once per frame at its start:
// it counts the frame and logs "long-frame <ms>" for a frame that started more
// than 50 ms after the one before it.
LONGLONG StartFrame(HANDLE log);
// Waits out the rest of the frame that started at `frameStart`; the thread takes
// no message meanwhile.
void WaitForNextFrame(LONGLONG frameStart);
// "frames <n> longest <ms> mean <ms> period <ms>": the figures since the previous
// report; then they start again.
void ReportFrameStats(HANDLE log);
// "rendered <n>": every frame since the start.
void ReportFramesRendered(HANDLE log);
