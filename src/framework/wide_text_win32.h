// The module's UTF-8 text at the wide API, where wchar_t is a UTF-16 unit.
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the wide API takes UTF-16 units");

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// The same units seen as the portable core's UTF-16.
inline std::u16string_view AsUtf16(std::wstring_view text) noexcept {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}
