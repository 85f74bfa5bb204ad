#include "host_text_win32.h"

#include <iterator>
#include <vector>

HostLanguage UserLanguage() noexcept { return HostLanguageFor(::GetUserDefaultUILanguage()); }

std::wstring UiText(HostText id, std::initializer_list<std::string_view> arguments) {
    return WideFromUtf8(Text(id, UserLanguage(), arguments));
}

std::wstring SystemErrorText(DWORD error) {
    wchar_t buffer[512] = {};
    DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                    buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (text.empty()) text = L"error " + std::to_wstring(error);
    return text;
}

std::wstring HostExecutablePath() {
    // Long paths: grow the buffer until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring HostFolder() {
    std::wstring path = HostExecutablePath();
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}
