#include "framework/wide_text_win32.h"

#include "common/utf8.h"

std::wstring WideFromUtf8(std::string_view text) {
    const std::u16string wide = Utf16FromUtf8(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string Utf8FromWide(std::wstring_view text) {
    return Utf8FromUtf16(AsUtf16(text));
}
