// The frame benchmark. The test host installs the hook and a stand-in game runs
// one of its frame loops; each round opens the box with the say key, types a
// message (a character every 50 ms, then the same text again at once), and sends
// it with Enter. Before and after each phase the game is asked
// for its frame report (the longest time between two frames since the last one),
// so each phase's figure is the longest the game thread went without a frame
// while it lasted. An idle phase gives the loop's own figure, and the same text
// typed into the game without a box what the input costs under Wine.
//
// The IME phase runs the loop again in a game whose thread has the project's
// test IME active: the box opens, "ni" is typed through the IME, which composes
// it and offers candidates that the box draws itself, the list is paged down and
// back, Space takes the first candidate and Enter says it.
//
// Usage: ParlixFrameBench.exe [rounds, default 10] [loop ...]  (loops: sdl, sdl-noclip, quake, and
// the SDL2 game's sdl2-gl and sdl2-gl-fullscreen; all of them by default, the SDL2 game's
// where it was built)
// Prints one line per loop and phase: the median and the largest of the rounds'
// longest frame gaps, in milliseconds, and the loop's period.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "drive_win32.h"
#include "test_ime_install_win32.h"

namespace {

constexpr UINT kFrameStatsMessage = WM_APP + 3;  // the stand-in game's frame report
const wchar_t kText[] = L"gg wp, rush b next round";
const wchar_t kImeChoice[] = L"\u4f60";  // 你: the first candidate for "ni"
constexpr DWORD kKeyIntervalMs = 50;  // a fast typist's pace

struct Run {
    drive::Process game;
    drive::LogFile log{L""};
    HWND window = nullptr;
};

size_t CountReports(const std::string& log) {
    size_t count = 0;
    for (size_t at = log.find("frames "); at != std::string::npos; at = log.find("frames ", at + 1))
        if (at == 0 || log[at - 1] == '\n') ++count;
    return count;
}

// Asks for the frame report and gives its longest gap in ms, or -1.
double FrameReport(Run& run) {
    const size_t before = CountReports(run.log.Read());
    ::PostMessageW(run.window, kFrameStatsMessage, 0, 0);
    const DWORD start = ::GetTickCount();
    std::string log;
    while (CountReports(log = run.log.Read()) == before) {
        if (::GetTickCount() - start > drive::kDeadlineMs) return -1;
        ::Sleep(5);
    }
    const size_t line = log.rfind("\nframes ");
    double longest = -1;
    std::sscanf(log.c_str() + line + 1, "frames %*u longest %lf", &longest);
    return longest;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts the game with this loop and waits until its window has the focus.
// The game's program is the loop's (drive_win32.h), staged as HL.exe.
bool StartRun(Run& run, const std::wstring& folder, const std::wstring& loop, const std::wstring& logName,
              const std::wstring& arguments) {
    run.log = drive::LogFile(folder + logName);
    drive::StageGame(folder, L"HL.exe", true, loop);
    if (!drive::StartGame(run.game, folder + L"HL.exe", run.log, L"--loop " + loop + L" " + arguments)) return false;
    run.window = drive::WaitForProcessWindow(run.game.Id(), drive::GameWindowClass(loop));
    return run.window && drive::WaitForForeground(run.window);
}

void Pause(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) ::Sleep(5);
}

// Presses Enter and waits until the game has said `said` once more and the box is gone.
bool Send(Run& run, const std::string& said) {
    const size_t saidBefore = run.log.Count(said);
    drive::TapKey(VK_RETURN);
    const DWORD start = ::GetTickCount();
    while (run.log.Count(said) == saidBefore) {
        if (::GetTickCount() - start > drive::kDeadlineMs) return false;
        ::Sleep(5);
    }
    return drive::WaitForNoChatBox(run.window);
}

// Presses a paging key and waits until the box has drawn a different list.
bool PageCandidates(WORD key, const RECT& list) {
    const drive::ScreenPixels before = drive::CaptureScreen(list);
    drive::TapExtendedKey(key);
    const DWORD start = ::GetTickCount();
    while (drive::CaptureScreen(list).pixels == before.pixels) {
        if (::GetTickCount() - start > drive::kDeadlineMs) return false;
        ::Sleep(5);
    }
    return true;
}

// One round of the IME phase in a game whose thread has the test IME active.
bool ImeRound(Run& run, const std::string& said) {
    drive::TapKey(drive::kSayKey);
    drive::ChatBox box;
    if (!drive::WaitForChatBox(run.window, box) || !drive::WaitForFocus(box.edit)) return false;
    RECT closed;
    ::GetWindowRect(box.dialog, &closed);
    drive::TapKey(VK_SHIFT);  // Wine swaps the IME in at the thread's next key press
    for (WORD key : {WORD{'N'}, WORD{'I'}}) {
        Pause(kKeyIntervalMs);
        drive::TapKey(key);
    }
    if (!drive::WaitForCandidates(box, closed)) return false;
    RECT open;
    ::GetWindowRect(box.dialog, &open);
    const RECT list{open.left + 2, open.top + 2, open.right - 2, closed.top};  // the rows the box grew by
    Pause(kKeyIntervalMs);
    if (!PageCandidates(VK_NEXT, list)) return false;
    Pause(kKeyIntervalMs);
    if (!PageCandidates(VK_PRIOR, list)) return false;
    Pause(kKeyIntervalMs);
    drive::TapKey(VK_SPACE);  // the first candidate of the first page, had the paging back failed another
    if (!drive::WaitForWindowText(box.edit, kImeChoice)) return false;
    return Send(run, said);
}

// Says where a round stopped, with the end of the game's log.
bool Failed(const Run& run, const char* what) {
    const std::string log = run.log.Read();
    std::printf("%s; the game's log ends:\n%s\n", what, log.substr(log.size() > 600 ? log.size() - 600 : 0).c_str());
    return false;
}

bool RunLoop(const std::wstring& folder, const std::wstring& loop, int rounds, const std::wstring& imeLayout) {
    Run run;
    if (!StartRun(run, folder, loop, L"game-" + loop + L".log", L"")) return Failed(run, "the game did not start");
    std::map<std::string, std::vector<double>> gaps;
    const std::string said = "said " + drive::WideToUtf8(std::wstring(kText) + kText);
    for (int round = 0; round < rounds; ++round) {
        FrameReport(run);
        // Idle as long as a round's phases take: the loop's own figure.
        Pause(600);
        gaps["idle"].push_back(FrameReport(run));

        // The same text typed into the game itself: what the input costs without the box.
        const size_t packets = run.log.Count("keydown 0xe7");
        drive::TypeText(kText);
        const DWORD typedStart = ::GetTickCount();
        while (run.log.Count("keydown 0xe7") < packets + std::size(kText) - 1) {
            if (::GetTickCount() - typedStart > drive::kDeadlineMs) return Failed(run, "the game did not log the typed text");
            ::Sleep(5);
        }
        gaps["game-type"].push_back(FrameReport(run));

        drive::TapKey(drive::kSayKey);
        drive::ChatBox box;
        if (!drive::WaitForChatBox(run.window, box) || !drive::WaitForFocus(box.edit)) return Failed(run, "no box opened");
        gaps["open"].push_back(FrameReport(run));

        // As a fast typist types: a character every 50 ms.
        for (const wchar_t* c = kText; *c != 0; ++c) {
            drive::TypeText(std::wstring(1, *c));
            Pause(kKeyIntervalMs);
        }
        if (!drive::WaitForWindowText(box.edit, kText)) return Failed(run, "the box did not show the typed text");
        gaps["type"].push_back(FrameReport(run));
        // The whole text again at once: every character of it waits in one frame's queue.
        drive::TypeText(kText);
        if (!drive::WaitForWindowText(box.edit, std::wstring(kText) + kText)) return Failed(run, "the box did not show the burst");
        gaps["type-burst"].push_back(FrameReport(run));

        if (!Send(run, said)) return Failed(run, "the message was not said");
        gaps["send"].push_back(FrameReport(run));
    }

    // The same loop in a game started with the test IME as its layout. Where its
    // rounds do not complete, the other phases' figures still stand.
    run.game.Stop();
    bool imeDone = StartRun(run, folder, loop, L"game-" + loop + L"-ime.log", L"--ime " + imeLayout) &&
                   run.log.WaitForPrefix("ime 0x");
    if (!imeDone) Failed(run, "the game with the IME did not start");
    const std::string imeSaid = "said " + drive::WideToUtf8(kImeChoice);
    for (int round = 0; imeDone && round < rounds; ++round) {
        FrameReport(run);
        imeDone = ImeRound(run, imeSaid) || Failed(run, "an IME round did not complete");
        if (imeDone) gaps["ime"].push_back(FrameReport(run));
    }
    run.game.Stop();

    for (const char* phase : {"idle", "game-type", "open", "type", "type-burst", "send", "ime"}) {
        const std::vector<double>& values = gaps[phase];
        if (values.size() != static_cast<size_t>(rounds)) {
            std::printf("%-18s %-10s did not complete\n", drive::WideToUtf8(loop).c_str(), phase);
            continue;
        }
        std::printf("%-18s %-10s longest frame gap: median %6.1f ms, largest %6.1f ms (period 10 ms, %d rounds)\n",
                    drive::WideToUtf8(loop).c_str(), phase, Median(values),
                    *std::max_element(values.begin(), values.end()), rounds);
    }
    std::fflush(stdout);
    return imeDone;
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    if (rounds <= 0) rounds = 10;
    std::vector<std::wstring> loops;
    for (int i = 2; i < argc; ++i) loops.push_back(drive::Utf8ToWide(argv[i]));
    if (loops.empty()) {
        loops = {L"sdl", L"sdl-noclip", L"quake"};
        if (drive::FileExists(drive::ProgramFolder() + drive::GameProgram(L"sdl2-gl")))
            loops.insert(loops.end(), {L"sdl2-gl", L"sdl2-gl-fullscreen"});
    }

    drive::TempFolder folder(L"framebench");
    drive::StageGame(folder.Path(), L"HL.exe");
    drive::BindSendKey(folder.Path(), "F12");
    drive::ResetSettings();
    drive::SetSetting(L"Executable File", folder.Path() + L"HL.exe");
    drive::SetSetting(L"Send Key", std::wstring(L"F12"));
    drive::SetSetting(L"Remember History", DWORD{1});
    drive::LogFile hostLog(folder.Path() + L"host.log");
    drive::Process host;
    if (!drive::StartHost(host, hostLog)) {
        std::printf("the test host did not start:\n%s\n", hostLog.Read().c_str());
        return 1;
    }
    std::string why;
    const std::wstring imeLayout = drive::InstallTestIme(&why);
    if (imeLayout.empty()) {
        std::printf("the test IME could not be installed: %s\n", why.c_str());
        return 1;
    }
    int failed = 0;
    for (const std::wstring& loop : loops) {
        if (!RunLoop(folder.Path(), loop, rounds, imeLayout)) {
            std::printf("%s: a round did not complete\n", drive::WideToUtf8(loop).c_str());
            ++failed;
        }
    }
    host.Stop();
    drive::ResetSettings();
    return failed == 0 ? 0 : 1;
}
