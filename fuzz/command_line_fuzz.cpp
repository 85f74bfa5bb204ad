// The argument-list split and the mod folder decision over any command line,
// executable path and module name.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "hook/command_line.h"
#include "hook/game_detection.h"

namespace {

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string commandLine = data.ConsumeRandomLengthString(4096);
    const std::string executable = data.ConsumeRandomLengthString(600);
    const std::string module = data.ConsumeRemainingBytesAsString();

    const std::vector<std::string> arguments = SplitCommandLine(commandLine, executable);
    const std::string& split = commandLine.empty() ? executable : commandLine;
    FUZZ_CHECK(!arguments.empty());
    FUZZ_CHECK(arguments.size() <= split.size() + 1);
    // Splitting only ever drops separators and quoting: no argument bytes appear.
    std::size_t total = 0;
    for (const std::string& argument : arguments) total += argument.size();
    FUZZ_CHECK(total <= split.size());

    // The folder: the executable's own name first, then any later argument that
    // begins with "czero".
    const GameFolder folder = DecideGameFolder(module, arguments);
    GameFolder expected = GameFolder::cstrike;
    if (EqualsIgnoringAsciiCase(module, "CZero.exe")) {
        expected = GameFolder::czero;
    } else if (!EqualsIgnoringAsciiCase(module, "CStrike.exe")) {
        for (std::size_t i = 1; i < arguments.size(); ++i)
            if (EqualsIgnoringAsciiCase(std::string_view(arguments[i]).substr(0, 5), "czero"))
                expected = GameFolder::czero;
    }
    FUZZ_CHECK(folder == expected);

    const bool game = IsGameExecutable(module);
    FUZZ_CHECK(game == (EqualsIgnoringAsciiCase(module, "CStrike.exe") ||
                        EqualsIgnoringAsciiCase(module, "CZero.exe") ||
                        EqualsIgnoringAsciiCase(module, "HL.exe")));
    return 0;
}
