#include "chatbox/error_text.h"

#include <charconv>

std::string ErrorCodeText(std::int32_t code) {
    // "(%d)" without printf: the module links no formatted-output machinery.
    char text[16] = {'('};
    char* end = std::to_chars(text + 1, text + sizeof text - 1, code).ptr;
    *end++ = ')';
    return std::string(text, end);
}
