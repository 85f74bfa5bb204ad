#include "framework/system_error_win32.h"

#include <string_view>

#include "framework/wide_text_win32.h"

std::string SystemMessageText(DWORD code) noexcept {
    wchar_t wide[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                          MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), wide, 512, nullptr);
    std::wstring_view text(wide, length < 512 ? length : 0);
    if (text.size() >= 2 && text.substr(text.size() - 2) == L"\r\n") text.remove_suffix(2);
    try {
        return Utf8FromWide(text);
    } catch (...) {
        return {};  // no memory for the text: the caller's fallback shows the code
    }
}
