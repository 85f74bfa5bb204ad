#include "config_file_win32.h"

#include "framework/unique_handle_win32.h"

namespace {

bool WriteAll(HANDLE file, std::string_view content) {
    while (!content.empty()) {
        DWORD written = 0;
        if (!::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        content.remove_prefix(written);
    }
    return true;
}

// The whole content from the start, the old end cut off, and on the disk.
bool WriteFromStart(HANDLE file, std::string_view content) {
    LARGE_INTEGER start = {};
    return ::SetFilePointerEx(file, start, nullptr, FILE_BEGIN) && WriteAll(file, content) && ::SetEndOfFile(file) &&
           ::FlushFileBuffers(file);
}

bool WriteNewFile(const std::wstring& path, std::string_view content, DWORD disposition, DWORD& error) {
    UniqueFile file = AdoptFile(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    if (!WriteAll(file.get(), content) || !::FlushFileBuffers(file.get())) {
        error = ::GetLastError();
        file.reset();
        ::DeleteFileW(path.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool ReadConfigFile(const std::wstring& path, std::string& content, bool& exists, DWORD& error) {
    content.clear();
    exists = false;
    UniqueFile file = AdoptFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    exists = true;
    char buffer[8192];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            error = ::GetLastError();
            return false;
        }
        if (read == 0) return true;
        content.append(buffer, read);
    }
}

bool CreateConfigFile(const std::wstring& path, std::string_view content, DWORD& error) {
    return WriteNewFile(path, content, CREATE_NEW, error);
}

bool RewriteConfigFile(const std::wstring& path, std::string_view before, std::string_view after, DWORD& error) {
    const std::wstring backup = path + L".parlix-backup";
    // A backup left by an earlier run that was cut short is ours to overwrite.
    ::SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!WriteNewFile(backup, before, CREATE_ALWAYS, error)) return false;

    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    // The player's read-only mark guards the file against other programs, not
    // against the set-up the player asked for; it is put back below.
    if (readOnly) {
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        if (!::SetFileAttributesW(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL)) {
            error = ::GetLastError();
            ::DeleteFileW(backup.c_str());
            return false;
        }
    }
    bool written = false;
    bool intact = true;  // the file holds either the old or the new content
    {
        UniqueFile file = AdoptFile(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) {
            error = ::GetLastError();
        } else if (WriteFromStart(file.get(), after)) {
            written = true;
        } else {
            error = ::GetLastError();
            intact = WriteFromStart(file.get(), before);
        }
    }
    if (readOnly) ::SetFileAttributesW(path.c_str(), attributes);
    // Kept only when the player's file may be cut short: it is the old content.
    if (intact) ::DeleteFileW(backup.c_str());
    return written;
}
