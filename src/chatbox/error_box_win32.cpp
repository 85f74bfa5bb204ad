#include "chatbox/error_box_win32.h"

#include <cstring>
#include <string>

#include "chatbox/error_text.h"
#include "common/utf8.h"
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

// The system's text for a code in UTF-8, cut between characters to fit a buffer
// of `size` bytes with its terminator; 0 when the system has none.
std::size_t SystemErrorText(DWORD code, char* buffer, DWORD size) noexcept {
    if (size == 0) return 0;
    wchar_t wide[512] = {};
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          code, 0x0400, wide, 512, nullptr);
    if (length == 0) return 0;
    try {
        const std::string text = Utf8FromWide(std::wstring_view(wide, length));
        const std::size_t copied = Utf8PrefixLength(text, size - 1);
        std::memcpy(buffer, text.data(), copied);
        return copied;
    } catch (...) {
        return 0;
    }
}

}  // namespace

char* FormatLastError(char* buffer, DWORD size) noexcept {
    std::memset(buffer, 0, size);
    const DWORD code = ::GetLastError();
    const std::size_t length = SystemErrorText(code, buffer, size);
    FinishSystemErrorText(buffer, size, length, static_cast<std::int32_t>(code));
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
