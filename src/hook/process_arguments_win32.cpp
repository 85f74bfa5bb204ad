#include "hook/process_arguments_win32.h"

#include <windows.h>

#include <array>

#include "hook/command_line.h"

namespace {

std::vector<std::string> SplitProcessCommandLine() {
    const char* commandLine = ::GetCommandLineA();
    std::array<char, MAX_PATH> executable{};
    const DWORD length = ::GetModuleFileNameA(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
    const std::string_view executablePath(executable.data(), length < executable.size() ? length : 0);
    return SplitCommandLine(commandLine ? commandLine : "", executablePath);
}

}  // namespace

const std::vector<std::string>& ProcessArguments() {
    static const std::vector<std::string> arguments = SplitProcessCommandLine();
    return arguments;
}
