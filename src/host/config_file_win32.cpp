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

std::wstring BackupPathOf(const std::wstring& path) { return path + L".parlix-backup"; }

namespace {

// Writes `content` over the existing file through its own handle, its read-only
// mark lifted meanwhile (the mark guards the file against other programs, not
// against the change the player asked for). When the write fails, `fallback` goes
// back in if there is one.
Rewrite WriteInPlace(const std::wstring& path, std::string_view content, const std::string_view* fallback,
                     DWORD& error) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) {
        const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
        if (!::SetFileAttributesW(path.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL)) {
            error = ::GetLastError();
            return Rewrite::untouched;
        }
    }
    Rewrite outcome = Rewrite::written;
    {
        UniqueFile file = AdoptFile(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file) {
            error = ::GetLastError();
            outcome = Rewrite::untouched;
        } else if (!WriteFromStart(file.get(), content)) {
            error = ::GetLastError();
            outcome = fallback != nullptr && WriteFromStart(file.get(), *fallback) ? Rewrite::putBack : Rewrite::damaged;
        }
    }
    if (readOnly) ::SetFileAttributesW(path.c_str(), attributes);
    return outcome;
}

}  // namespace

Rewrite RewriteConfigFile(const std::wstring& path, std::string_view before, std::string_view after, DWORD& error) {
    const std::wstring backup = BackupPathOf(path);
    // A new file only: a copy that is there may be the one good content left.
    if (!WriteNewFile(backup, before, CREATE_NEW, error)) return Rewrite::untouched;
    const Rewrite outcome = WriteInPlace(path, after, &before, error);
    // Kept only when the player's file may be cut short: it is the old content.
    if (outcome != Rewrite::damaged) ::DeleteFileW(backup.c_str());
    return outcome;
}

bool RestoreLeftBackup(const std::wstring& path, bool& restored, DWORD& error) {
    restored = false;
    const std::wstring backup = BackupPathOf(path);
    std::string saved;
    bool exists = false;
    if (!ReadConfigFile(backup, saved, exists, error)) return false;
    if (!exists) return true;
    const bool fileExists = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (fileExists ? WriteInPlace(path, saved, nullptr, error) != Rewrite::written
                   : !CreateConfigFile(path, saved, error))
        return false;
    ::SetFileAttributesW(backup.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(backup.c_str());
    restored = true;
    return true;
}
