#include "frame_stats_win32.h"

#include <cstdio>

#include "tool_support_win32.h"

namespace {

constexpr double kLongFrameMs = 50.0;

struct FrameStats {
    LONGLONG frequency = 0;
    LONGLONG lastStart = 0;  // 0: no frame yet
    unsigned long frames = 0;
    unsigned long long total = 0;
    double longestMs = 0;
    double totalMs = 0;
};
FrameStats g_stats;

LONGLONG Now() {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

double Milliseconds(LONGLONG ticks) {
    if (g_stats.frequency == 0) {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        g_stats.frequency = frequency.QuadPart;
    }
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(g_stats.frequency);
}

}  // namespace

LONGLONG StartFrame(HANDLE log) {
    const LONGLONG start = Now();
    ++g_stats.total;
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
    return start;
}

void WaitForNextFrame(LONGLONG frameStart) {
    const double spent = Milliseconds(Now() - frameStart);
    if (spent < kFramePeriodMs) ::Sleep(static_cast<DWORD>(kFramePeriodMs - spent));
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

void ReportFramesRendered(HANDLE log) { AppendLogLine(log, "rendered " + std::to_string(g_stats.total)); }
