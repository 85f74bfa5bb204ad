#include "game_setup_win32.h"

#include <windows.h>

#include "framework/unique_handle_win32.h"
#include "host/userconfig_bind.h"
#include "host_log_win32.h"
#include "host_text_win32.h"

#include <vector>

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

bool IsBlank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

// What both directions share: the mod folders' userconfig.cfg that exist, or a
// message why there is nothing to work on.
std::vector<std::wstring> ExistingUserConfigs(const std::wstring& executable, std::wstring& problem) {
    const std::vector<std::wstring> paths = UserConfigPaths(executable);
    if (paths.empty()) {
        problem = UiText(HostText::SetUpNoExecutable);
        return {};
    }
    std::vector<std::wstring> existing;
    for (const std::wstring& path : paths)
        if (FolderExists(FolderOf(path))) existing.push_back(path);
    if (existing.empty()) problem = UiText(HostText::NoModFolders, {Utf8FromWide(executable)});
    return existing;
}

enum class Rewritten { Failed, Unchanged, Changed };

// Reads the file and writes what the rule makes of it back when that differs; a
// failure adds its reason to the report.
template <class Rule>
Rewritten RewriteFile(const std::wstring& path, Rule rule, std::wstring& report) {
    std::string before;
    DWORD error = ERROR_SUCCESS;
    if (!ReadWholeFile(path, before, error)) {
        report += UiText(HostText::FileNotRead, {Utf8FromWide(path), Utf8FromWide(SystemErrorText(error))}) + L"\r\n";
        return Rewritten::Failed;
    }
    const std::string after = rule(before);
    if (after == before) return Rewritten::Unchanged;
    if (!ReplaceFile(path, after, error)) {
        report += UiText(HostText::FileNotWritten, {Utf8FromWide(path), Utf8FromWide(SystemErrorText(error))}) + L"\r\n";
        return Rewritten::Failed;
    }
    return Rewritten::Changed;
}

}  // namespace

GameSetupResult SetUpGame(const CAppSettings& settings) {
    GameSetupResult result;
    if (IsBlank(settings.m_strExecutableFile)) {
        result.report = UiText(HostText::SetUpEmptyPath);
        return result;
    }
    const std::wstring executable = WideFromUtf8(settings.m_strExecutableFile);
    const std::string gameKey = GameBindKeyName(settings.m_strKeys[3]);
    if (gameKey.empty()) {
        result.report = UiText(HostText::SetUpNoSendKey);
        return result;
    }
    const std::vector<std::wstring> paths = ExistingUserConfigs(executable, result.report);
    if (paths.empty()) return result;
    const std::string bindLine = ParlixBindLine(gameKey);
    int failures = 0;
    for (const std::wstring& path : paths) {
        const Rewritten outcome = RewriteFile(
            path, [&bindLine](const std::string& before) { return RewriteUserConfig(before, bindLine); },
            result.report);
        if (outcome == Rewritten::Failed) {
            HostLog("setup-failed " + Utf8FromWide(path));
            ++failures;
            continue;
        }
        result.report +=
            UiText(outcome == Rewritten::Unchanged ? HostText::FileAlreadySetUp : HostText::FileNowBinds,
                   {Utf8FromWide(path)}) +
            L"\r\n";
        HostLog("setup-written " + Utf8FromWide(path));
    }
    // Every folder that exists must be set up: a half set-up game fails in one mod only.
    result.ok = failures == 0;
    result.report = (result.ok ? UiText(HostText::GameSetUp, {bindLine}) : UiText(HostText::GameNotSetUp)) +
                    L"\r\n\r\n" + result.report;
    return result;
}

GameSetupResult RemoveGameSetUp(const CAppSettings& settings) {
    GameSetupResult result;
    std::wstring problem;
    // Without a game, or without its mod folders, nothing of ours is there to remove.
    const std::vector<std::wstring> paths =
        IsBlank(settings.m_strExecutableFile)
            ? std::vector<std::wstring>()
            : ExistingUserConfigs(WideFromUtf8(settings.m_strExecutableFile), problem);
    int failures = 0;
    for (const std::wstring& path : paths) {
        std::string after;
        const Rewritten outcome = RewriteFile(
            path,
            [&after](const std::string& before) {
                after = RemoveParlixBindLines(before);
                return after;
            },
            result.report);
        if (outcome == Rewritten::Failed) {
            ++failures;
            continue;
        }
        // Nothing but our line was in it: the set-up made the file, and takes it away.
        if (outcome == Rewritten::Changed && after.empty()) ::DeleteFileW(path.c_str());
        result.report +=
            UiText(outcome == Rewritten::Unchanged ? HostText::NoLineToRemove : HostText::LineRemoved,
                   {Utf8FromWide(path)}) +
            L"\r\n";
        HostLog("setup-removed " + Utf8FromWide(path));
        // The last message the chat box wrote: ours alone, and useless without the bind.
        const std::wstring commandFile = FolderOf(path) + L"\\parlix.cfg";
        if (!::DeleteFileW(commandFile.c_str())) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_NOT_FOUND) continue;
            result.report +=
                UiText(HostText::FileNotWritten, {Utf8FromWide(commandFile), Utf8FromWide(SystemErrorText(error))}) + L"\r\n";
            ++failures;
        }
    }
    result.ok = failures == 0;
    result.report = UiText(result.ok ? HostText::GameSetUpRemoved : HostText::GameSetUpNotRemoved) + L"\r\n\r\n" +
                    result.report;
    return result;
}
