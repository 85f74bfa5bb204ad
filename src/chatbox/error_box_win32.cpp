#include "chatbox/error_box_win32.h"

#include <cstring>
#include <string>

#include "chatbox/error_text.h"
#include "common/utf8.h"
#include "framework/system_error_win32.h"
#include "framework/wide_text_win32.h"
#include "framework/win_app_win32.h"

namespace {

// UTF-8 text shown through the wide API, so a path or a system text of any
// language reads as it is.
void ShowBox(HWND owner, std::string_view text) noexcept {
    try {
        const CWinApp* app = AfxGetApp();
        const std::wstring caption = WideFromUtf8(app != nullptr ? app->AppName() : "");
        ::MessageBoxW(owner, WideFromUtf8(text).c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
    } catch (...) {
        // Out of memory for the text: the chat box still goes on as after the box.
    }
}

}  // namespace

char* FormatLastError(char* buffer, DWORD size) noexcept {
    std::memset(buffer, 0, size);
    if (size == 0) return buffer;
    const DWORD code = ::GetLastError();
    try {
        std::string text = SystemMessageText(code);
        if (text.empty()) text = ErrorCodeText(static_cast<std::int32_t>(code));
        // Cut between characters, with room for the terminator.
        std::memcpy(buffer, text.data(), Utf8PrefixLength(text, size - 1));
    } catch (...) {
        // No memory for the text: the box shows nothing rather than fail.
    }
    return buffer;
}

void ShowLastErrorBox(HWND owner) noexcept {
    char buffer[256];
    ShowBox(owner, FormatLastError(buffer, 255));
}

void ShowFileErrorBox(HWND owner, const FileError& error) noexcept {
    try {
        ShowBox(owner, FormatFileErrorMessage(error));
    } catch (...) {
        // Out of memory for the text: the chat box still closes as after the box.
    }
}
