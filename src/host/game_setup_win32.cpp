#include "game_setup_win32.h"

#include <windows.h>

#include "config_file_win32.h"
#include "host/userconfig_bind.h"
#include "host_log_win32.h"
#include "host_text_win32.h"

#include <utility>
#include <vector>

namespace {

bool FolderExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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

struct ConfigChange {
    std::string content;
    bool deleteFile = false;
};

enum class Rewritten { Failed, Unchanged, Changed };

// Reads the file, hands its content (empty for a missing file) to the rule and
// carries out what the rule decides; a failure adds its reason to the report.
template <class Rule>
Rewritten RewriteFile(const std::wstring& path, Rule rule, std::wstring& report) {
    std::string before;
    bool exists = false;
    DWORD error = ERROR_SUCCESS;
    // An earlier change cut short left the file's last whole content beside it:
    // that goes back first, and nothing is changed while it cannot.
    bool restored = false;
    if (!RestoreLeftBackup(path, restored, error)) {
        report += UiText(HostText::BackupNotRestored, {Utf8FromWide(path), Utf8FromWide(BackupPathOf(path)),
                                                       Utf8FromWide(SystemErrorText(error))}) +
                  L"\r\n";
        return Rewritten::Failed;
    }
    if (restored) {
        report += UiText(HostText::BackupRestored, {Utf8FromWide(path), Utf8FromWide(BackupPathOf(path))}) + L"\r\n";
        HostLog("setup-backup-restored " + Utf8FromWide(path));
    }
    if (!ReadConfigFile(path, before, exists, error)) {
        report += UiText(HostText::FileNotRead, {Utf8FromWide(path), Utf8FromWide(SystemErrorText(error))}) + L"\r\n";
        return Rewritten::Failed;
    }
    const ConfigChange change = rule(before, exists);
    bool done = true;
    if (change.deleteFile) {
        done = ::DeleteFileW(path.c_str()) != 0;
        if (!done) error = ::GetLastError();
    } else if (exists ? change.content == before : change.content.empty()) {
        return Rewritten::Unchanged;
    } else if (!exists) {
        done = CreateConfigFile(path, change.content, error);
    } else {
        const Rewrite outcome = RewriteConfigFile(path, before, change.content, error);
        done = outcome == Rewrite::written;
        if (!done) {
            report += UiText(HostText::FileNotWritten, {Utf8FromWide(path), Utf8FromWide(SystemErrorText(error))}) +
                      L"\r\n";
            // Whether the player's file is whole again, or where its old content is.
            if (outcome == Rewrite::putBack)
                report += UiText(HostText::OldContentPutBack, {Utf8FromWide(path)}) + L"\r\n";
            if (outcome == Rewrite::damaged)
                report += UiText(HostText::OldContentKept, {Utf8FromWide(path), Utf8FromWide(BackupPathOf(path))}) +
                          L"\r\n";
            HostLog(outcome == Rewrite::putBack ? "setup-put-back " + Utf8FromWide(path)
                                                : outcome == Rewrite::damaged ? "setup-backup-kept " + Utf8FromWide(path)
                                                                              : "setup-untouched " + Utf8FromWide(path));
            return Rewritten::Failed;
        }
    }
    if (!done) {
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
            path,
            [&bindLine](const std::string& before, bool exists) {
                // A file made here carries the mark that lets the removal delete it again.
                return ConfigChange{exists ? RewriteUserConfig(before, bindLine) : NewUserConfig(bindLine), false};
            },
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
        const Rewritten outcome = RewriteFile(
            path,
            [](const std::string& before, bool) {
                // Only a file the set-up made goes; one that was there before stays, empty or not.
                UserConfigRemoval removal = RemoveParlixSetUp(before);
                return ConfigChange{std::move(removal.content), removal.deleteFile};
            },
            result.report);
        if (outcome == Rewritten::Failed) {
            ++failures;
            continue;
        }
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
