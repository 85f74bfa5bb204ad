#include "host_text_win32.h"

#include <iterator>
#include <vector>

#include "framework/system_error_win32.h"

HostLanguage UserLanguage() noexcept { return HostLanguageFor(::GetUserDefaultUILanguage()); }

std::wstring UiText(HostText id, std::initializer_list<std::string_view> arguments) {
    return WideFromUtf8(Text(id, UserLanguage(), arguments));
}

std::wstring SystemErrorText(DWORD error) {
    const std::string text = SystemMessageText(error);
    return text.empty() ? L"error " + std::to_wstring(error) : WideFromUtf8(text);
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
