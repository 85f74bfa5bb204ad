// What the module costs on the paths it runs most: the hook decision for every key
// in every process, and the pieces of one sent message.
#include <benchmark/benchmark.h>

#include <string>

#include "chatbox/history_list.h"
#include "chatbox/paint_plan.h"
#include "chatbox/say_command.h"
#include "hook/hook_decision.h"
#include "settings/key_names.h"

namespace {

constexpr HotKeys kHotKeys{'Y', 'U', 'P'};
constexpr std::uintptr_t kPress = 0x00150001;  // a first press: repeat count 1, scan code 0x15

// Answers as a process where a hot key is pressed but the active window is not the
// game: every probe question is asked before the event is passed on.
struct NotTheGame {
    bool HasCursor() { return benchmark::DoNotOptimize(cursor), cursor; }
    bool HasActiveWindow() { return true; }
    bool ChatBoxOpenAndVisible() { return false; }
    bool EditHasFocus() { return false; }
    bool ActiveWindowIsBoxParent() { return false; }
    bool ActiveWindowIsGame() { return false; }
    bool cursor = false;
};

void BM_HookDecision_NotAHotKey(benchmark::State& state) {
    NotTheGame probe;
    std::uintptr_t key = 'A';
    for (auto _ : state) {
        benchmark::DoNotOptimize(key);
        benchmark::DoNotOptimize(DecideHook(kHookCodeAction, key, kPress, kHotKeys, probe));
    }
}
BENCHMARK(BM_HookDecision_NotAHotKey);

void BM_HookDecision_HotKeyOutsideTheGame(benchmark::State& state) {
    NotTheGame probe;
    std::uintptr_t key = 'P';
    for (auto _ : state) {
        benchmark::DoNotOptimize(key);
        benchmark::DoNotOptimize(DecideHook(kHookCodeAction, key, kPress, kHotKeys, probe));
    }
}
BENCHMARK(BM_HookDecision_HotKeyOutsideTheGame);

void BM_LookupVirtualKey(benchmark::State& state) {
    // The default send key, a name late in the table in other letter case, a miss.
    const std::string names[] = {"F12", "page dn", "NoSuchKey"};
    const std::string& name = names[state.range(0)];
    for (auto _ : state) benchmark::DoNotOptimize(LookupVirtualKey(name));
}
BENCHMARK(BM_LookupVirtualKey)->Arg(0)->Arg(1)->Arg(2);

void BM_AddToHistory_FullListOf32(benchmark::State& state) {
    HistoryList list;
    for (int i = 0; i < 32; ++i) list.AddToHistory("message number " + std::to_string(i), 32);
    // Alternating between two texts: one is always new and pushes the oldest out
    // (after the first round, the text moved from the middle of the list).
    const std::string texts[] = {"a message that is not in the list yet", "message number 16"};
    std::size_t turn = 0;
    for (auto _ : state) {
        list.AddToHistory(texts[turn], 32);
        turn ^= 1;
        benchmark::DoNotOptimize(list.m_history.data());
    }
}
BENCHMARK(BM_AddToHistory_FullListOf32);

void BM_FormatSayCommand_127Bytes(benchmark::State& state) {
    std::string text(127, 'x');
    for (std::size_t i = 0; i < text.size(); i += 9) text[i] = '"';
    for (auto _ : state) benchmark::DoNotOptimize(FormatSayCommand(0, text));
}
BENCHMARK(BM_FormatSayCommand_127Bytes);

void BM_PaintPlan(benchmark::State& state) {
    int width = 300;
    Rect edit{9, 26, 291, 39};
    for (auto _ : state) {
        benchmark::DoNotOptimize(width);
        benchmark::DoNotOptimize(edit);
        benchmark::DoNotOptimize(PaintPlan(width, 48, edit));
    }
}
BENCHMARK(BM_PaintPlan);

}  // namespace

BENCHMARK_MAIN();
