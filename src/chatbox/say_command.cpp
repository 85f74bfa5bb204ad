#include "chatbox/say_command.h"

#include <algorithm>

namespace {

std::string_view CommandPrefix(int mode) noexcept {
    switch (mode) {
    case 0: return "say \"";
    case 1: return "say_team \"";
    default: return "rcon say \"";
    }
}

char Defused(char c) noexcept {
    if (c == '"') return '\'';
    if (c == '\r' || c == '\n') return ' ';
    return c;
}

}  // namespace

std::string FormatSayCommand(int mode, std::string_view text) {
    const std::string_view prefix = CommandPrefix(mode);
    std::string command(prefix.size() + text.size() + 1, '"');
    const auto body = std::copy(prefix.begin(), prefix.end(), command.begin());
    std::transform(text.begin(), text.end(), body, Defused);
    return command;
}
