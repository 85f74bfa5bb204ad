#include "chatbox/error_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// "(%d)" without printf: the module links no formatted-output machinery.
std::string CodeInParentheses(std::int32_t code) {
    char text[16] = {'('};
    char* end = std::to_chars(text + 1, text + sizeof text - 1, code).ptr;
    *end++ = ')';
    return std::string(text, end);
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
        const std::string text = CodeInParentheses(code);
        length = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), length);
    }
    if (EndsInLineBreak(std::string_view(buffer, length))) length -= 2;
    buffer[length] = '\0';
    return length;
}
