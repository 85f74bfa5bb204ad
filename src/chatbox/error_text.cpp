#include "chatbox/error_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

std::string CodeInParentheses(std::int32_t code) {
    char text[16];
    const int length = std::snprintf(text, sizeof text, "(%d)", static_cast<int>(code));
    return std::string(text, static_cast<std::size_t>(std::max(length, 0)));
}

bool EndsInLineBreak(std::string_view text) noexcept {
    return text.size() >= 2 && text[text.size() - 2] == '\r' && text.back() == '\n';
}

}  // namespace

std::string FinishSystemErrorText(std::string_view systemText, std::int32_t code) {
    if (systemText.empty()) return CodeInParentheses(code);
    if (EndsInLineBreak(systemText)) systemText.remove_suffix(2);
    return std::string(systemText);
}

std::size_t FinishSystemErrorText(char* buffer, std::size_t size, std::size_t systemLength,
                                  std::int32_t code) noexcept {
    if (buffer == nullptr || size == 0) return 0;
    std::size_t length = std::min(systemLength, size - 1);
    if (length == 0) {
        const int written = std::snprintf(buffer, size, "(%d)", static_cast<int>(code));
        length = std::min(static_cast<std::size_t>(std::max(written, 0)), size - 1);
    }
    if (EndsInLineBreak(std::string_view(buffer, length))) length -= 2;
    buffer[length] = '\0';
    return length;
}
