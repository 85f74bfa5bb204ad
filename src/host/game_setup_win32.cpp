#include "game_setup_win32.h"

#include <windows.h>

#include "framework/unique_handle_win32.h"
#include "host/userconfig_bind.h"
#include "host_log_win32.h"
#include "host_text_win32.h"

namespace {

bool FolderExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Reads the whole file; a missing file reads as empty.
bool ReadWholeFile(const std::wstring& path, std::string& content, DWORD& error) {
    content.clear();
    UniqueFile file = AdoptFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND;
    }
    char buffer[8192];
    DWORD read = 0;
    for (;;) {
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            error = ::GetLastError();
            return false;
        }
        if (read == 0) return true;
        content.append(buffer, read);
    }
}

// Writes a sibling file first and moves it over the old one, so that a full disk or
// a failed write never leaves the player's userconfig.cfg cut short.
bool ReplaceFile(const std::wstring& path, const std::string& content, DWORD& error) {
    const std::wstring temporary = path + L".parlix-new";
    {
        UniqueFile file = AdoptFile(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = ::GetLastError();
            return false;
        }
        DWORD written = 0;
        if (!::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
            written != content.size() || !::FlushFileBuffers(file.get())) {
            error = ::GetLastError();
            file.reset();
            ::DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

std::wstring FolderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

}  // namespace

GameSetupResult SetUpGame(const CAppSettings& settings) {
    GameSetupResult result;
    const std::wstring executable = WideFromAnsi(settings.m_strExecutableFile);
    const std::string gameKey = GameBindKeyName(settings.m_strKeys[3]);
    if (gameKey.empty()) {
        result.report = L"Choose a send key from the list first.";
        return result;
    }
    const std::vector<std::wstring> paths = UserConfigPaths(executable);
    if (paths.empty()) {
        result.report = L"Choose the game executable (hl.exe in the game's folder) first.";
        return result;
    }
    const std::string bindLine = ParlixBindLine(gameKey);
    int done = 0;
    for (const std::wstring& path : paths) {
        if (!FolderExists(FolderOf(path))) continue;
        std::string before;
        DWORD error = ERROR_SUCCESS;
        if (!ReadWholeFile(path, before, error)) {
            result.report += path + L" could not be read: " + SystemErrorText(error) + L"\r\n";
            HostLog("setup-failed " + Utf8FromWide(path));
            continue;
        }
        const std::string after = RewriteUserConfig(before, bindLine);
        if (after != before && !ReplaceFile(path, after, error)) {
            result.report += path + L" could not be written: " + SystemErrorText(error) + L"\r\n";
            HostLog("setup-failed " + Utf8FromWide(path));
            continue;
        }
        result.report += path + (after == before ? L" was already set up.\r\n" : L" now binds the send key.\r\n");
        HostLog("setup-written " + Utf8FromWide(path));
        ++done;
    }
    if (result.report.empty()) {
        result.report = L"There is no cstrike or czero folder beside " + executable +
                        L". Choose the game executable in the game's own folder.";
        return result;
    }
    // Every folder that exists must be set up: a half set-up game fails in one mod only.
    result.ok = done > 0 && result.report.find(L"could not") == std::wstring::npos;
    result.report = (result.ok ? L"The game is set up: " + WideFromUtf8(bindLine) + L"\r\n\r\n"
                               : std::wstring(L"The game could not be set up completely.\r\n\r\n")) +
                    result.report;
    return result;
}
