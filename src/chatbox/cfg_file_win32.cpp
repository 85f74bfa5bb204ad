#include "chatbox/cfg_file_win32.h"

#include <windows.h>

#include "framework/unique_handle_win32.h"
#include "framework/wide_text_win32.h"

std::optional<FileError> WriteCfgFile(const std::string& path, std::string_view bytes) {
    // Refused before the open: CreateFileW would otherwise fail with a code whose
    // text depends on the system, or open a different, truncated name.
    const std::wstring widePath = WideFromUtf8(path);
    if (widePath.size() >= MAX_PATH) return FileError{FileErrorCause::badPath, path};
    wchar_t wideFull[MAX_PATH] = {};
    wchar_t* filePart = nullptr;
    const DWORD fullLength = ::GetFullPathNameW(widePath.c_str(), MAX_PATH, wideFull, &filePart);
    if (fullLength == 0 || fullLength >= MAX_PATH) return FileError{FileErrorCause::badPath, path};
    const std::string fullPath = Utf8FromWide(wideFull);

    // No security attributes: the handle is not inheritable, so a program the game
    // starts meanwhile cannot keep the file open and locked.
    UniqueFile file = AdoptFile(::CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FileError{CauseForSystemError(::GetLastError()), path};

    if (!bytes.empty()) {
        const DWORD toWrite = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data(), toWrite, &written, nullptr)) {
            const DWORD code = ::GetLastError();  // before the close can change it
            file.reset();
            return FileError{CauseForSystemError(code), fullPath};
        }
        if (written < bytes.size()) {
            file.reset();
            return FileError{FileErrorCause::diskFull, fullPath};
        }
    }
    if (!::CloseHandle(file.release())) return FileError{CauseForSystemError(::GetLastError()), fullPath};
    return std::nullopt;
}
