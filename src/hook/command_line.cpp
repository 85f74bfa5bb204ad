#include "hook/command_line.h"

#include <cstddef>
#include <utility>

namespace {

constexpr bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// The program name takes no escapes: a leading quote runs to the next quote (the
// quotes are dropped), otherwise the name runs to the first blank.
std::size_t ReadProgramName(std::string_view line, std::string& name) {
    std::size_t p = 0;
    if (!line.empty() && line[0] == '"') {
        ++p;
        while (p < line.size() && line[p] != '"') name += line[p++];
        if (p < line.size()) ++p;  // the closing quote
    } else {
        while (p < line.size() && !IsBlank(line[p])) name += line[p++];
    }
    return p;
}

// One argument from position p (not blank, not past the end). Backslashes are
// literal unless a quote follows them: 2n backslashes and a quote give n backslashes
// and the quote toggles quoting; 2n+1 give n and a literal quote. Inside quotes a
// doubled quote gives one literal quote and quoting goes on.
std::size_t ReadArgument(std::string_view line, std::size_t p, std::string& argument) {
    bool quoted = false;
    while (p < line.size()) {
        std::size_t slashes = 0;
        while (p < line.size() && line[p] == '\\') {
            ++slashes;
            ++p;
        }
        if (p < line.size() && line[p] == '"') {
            argument.append(slashes / 2, '\\');
            if (slashes % 2 == 1) {
                argument += '"';
                ++p;
            } else if (quoted && p + 1 < line.size() && line[p + 1] == '"') {
                argument += '"';
                p += 2;
            } else {
                quoted = !quoted;
                ++p;
            }
            continue;
        }
        argument.append(slashes, '\\');
        if (p >= line.size() || (!quoted && IsBlank(line[p]))) break;
        argument += line[p++];
    }
    return p;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          std::string_view executablePath) {
    const std::string_view line = commandLine.empty() ? executablePath : commandLine;
    std::vector<std::string> arguments(1);
    std::size_t p = ReadProgramName(line, arguments[0]);
    for (;;) {
        while (p < line.size() && IsBlank(line[p])) ++p;
        if (p >= line.size()) break;
        std::string argument;
        p = ReadArgument(line, p, argument);
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
