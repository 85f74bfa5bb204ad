#include "chatbox/cfg_file_win32.h"

#include <memory>
#include <new>

#include "framework/unique_handle_win32.h"

std::optional<std::string> ConvertToUtf8(const std::string& text, UINT codePage) {
    const int wideCount = ::MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
    if (wideCount <= 0) return std::nullopt;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<size_t>(wideCount) + 1]);
    if (!wide) {
        // The caller shows the last error: make it say what happened.
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
    if (::MultiByteToWideChar(codePage, 0, text.c_str(), -1, wide.get(), wideCount + 1) <= 0) {
        return std::nullopt;
    }
    const int utf8Count = ::WideCharToMultiByte(CP_UTF8, 0, wide.get(), -1, nullptr, 0, nullptr, nullptr);
    if (utf8Count <= 0) return std::nullopt;
    std::string utf8;
    try {
        utf8.resize(static_cast<size_t>(utf8Count) + 1);
    } catch (const std::bad_alloc&) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
    const int written =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.get(), -1, utf8.data(), utf8Count + 1, nullptr, nullptr);
    if (written <= 0) return std::nullopt;
    // The count includes the terminator, which is not part of the file.
    utf8.resize(static_cast<size_t>(written) - 1);
    return utf8;
}

std::optional<FileError> WriteCfgFile(const std::string& path, std::string_view bytes) {
    // Refused before the open: CreateFileA would otherwise fail with a code whose
    // text depends on the system, or open a different, truncated name.
    if (path.size() >= MAX_PATH) return FileError{FileErrorCause::badPath, path};
    char fullPath[MAX_PATH] = {};
    char* filePart = nullptr;
    const DWORD fullLength = ::GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, &filePart);
    if (fullLength == 0 || fullLength >= MAX_PATH) return FileError{FileErrorCause::badPath, path};

    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    UniqueFile file = AdoptFile(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, &security, CREATE_ALWAYS,
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
