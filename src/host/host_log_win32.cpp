#include "host_log_win32.h"

#include <windows.h>

#include "framework/unique_handle_win32.h"

namespace {
UniqueFile g_log;
}

void OpenHostLog(const std::wstring& path) noexcept {
    g_log = AdoptFile(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void HostLog(std::string_view line) noexcept {
    if (!g_log) return;
    try {
        // One write per line, so that a reader never sees half a line.
        std::string text(line);
        text += "\n";
        DWORD written = 0;
        ::WriteFile(g_log.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } catch (...) {
    }
}
