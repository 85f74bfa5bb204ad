#include "settings/run_value.h"

std::wstring_view RunCommandProgram(std::wstring_view command) noexcept {
    const std::size_t first = command.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    command.remove_prefix(first);
    if (command.front() == L'"') {
        command.remove_prefix(1);
        return command.substr(0, command.find(L'"'));
    }
    return command.substr(0, command.find_last_not_of(L" \t") + 1);
}
