#include "hook/process_arguments_win32.h"

#include <windows.h>

#include <array>
#include <atomic>

#include "hook/command_line.h"

namespace {

std::vector<std::string> SplitProcessCommandLine() {
    const char* commandLine = ::GetCommandLineA();
    std::array<char, MAX_PATH> executable{};
    const DWORD length = ::GetModuleFileNameA(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
    const std::string_view executablePath(executable.data(), length < executable.size() ? length : 0);
    return SplitCommandLine(commandLine ? commandLine : "", executablePath);
}

// A once of our own in place of a function's static: the compiler's guard for one
// brings the runtime's mutex and condition code into the module (about 2 KB) for a
// list that is split at attach, under the loader's lock, before any other thread
// can ask for it. Only a split that failed there leaves the work to a later caller.
enum SplitState : int { kNotSplit, kSplitting, kSplit };
std::atomic<int> g_splitState{kNotSplit};
std::vector<std::string> g_arguments;

}  // namespace

const std::vector<std::string>& ProcessArguments() {
    while (g_splitState.load(std::memory_order_acquire) != kSplit) {
        int expected = kNotSplit;
        if (g_splitState.compare_exchange_strong(expected, kSplitting, std::memory_order_acquire)) {
            try {
                g_arguments = SplitProcessCommandLine();
            } catch (...) {
                g_splitState.store(kNotSplit, std::memory_order_release);  // the next caller tries again
                throw;
            }
            g_splitState.store(kSplit, std::memory_order_release);
        } else if (expected == kSplitting) {
            ::Sleep(0);  // another thread is splitting: let it finish
        }
    }
    return g_arguments;
}
