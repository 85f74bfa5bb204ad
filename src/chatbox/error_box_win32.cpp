#include "chatbox/error_box_win32.h"

#include <cstring>
#include <string>

#include "chatbox/error_text.h"
#include "framework/win_app_win32.h"

namespace {

const char* Caption() noexcept {
    const CWinApp* app = AfxGetApp();
    return app != nullptr ? app->AppName() : "";
}

void ShowBox(HWND owner, const char* text) noexcept {
    ::MessageBoxA(owner, text, Caption(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

char* FormatLastError(char* buffer, DWORD size) noexcept {
    std::memset(buffer, 0, size);
    const DWORD code = ::GetLastError();
    const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                          code, 0x0400, buffer, size, nullptr);
    FinishSystemErrorText(buffer, size, length, static_cast<std::int32_t>(code));
    return buffer;
}

void ShowLastErrorBox(HWND owner) noexcept {
    char buffer[256];
    ShowBox(owner, FormatLastError(buffer, 255));
}

void ShowFileErrorBox(HWND owner, const FileError& error) noexcept {
    try {
        const std::string message = FormatFileErrorMessage(error);
        ShowBox(owner, message.c_str());
    } catch (...) {
        // Out of memory for the text: the chat box still closes as after the box.
    }
}
