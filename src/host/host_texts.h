// Every text the host shows, in English and Simplified Chinese, and the rule that
// picks one of them from the user's interface language.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

enum class HostLanguage { English, SimplifiedChinese };

// Simplified Chinese for a Chinese interface in simplified script (China,
// Singapore, the neutral zh-Hans), English for every other language identifier.
HostLanguage HostLanguageFor(std::uint16_t languageId) noexcept;

enum class HostText : int {
    // The settings window; "{1}" in the caption is the version.
    Caption,
    GameGroup,
    GameLabel,
    Browse,
    KeysGroup,
    SayKeyLabel,
    TeamKeyLabel,
    RconKeyLabel,
    SendKeyLabel,
    SendKeyHint,
    ChatBoxGroup,
    AutoIme,
    NoIme,
    ImeMode,
    RememberHistory,
    MaxHistoryLabel,
    ProgramGroup,
    MinimizeToTray,
    StartMinimized,
    StartAtLogon,
    Save,
    SetUpGame,
    Exit,
    BrowseTitle,
    BrowseGameFilter,
    BrowseProgramFilter,
    // The tray icon's menu.
    TraySettings,
    TraySetUpGame,
    TrayExit,
    // The first line of the window.
    StatusRunning,
    StatusKeysNeedChange,
    StatusNoHook,
    StatusElevated,
    // Why the hook is missing.
    ModuleNotLoaded,
    ModuleOtherBitness,
    ModuleNotParlix,
    HookRefused,
    HookRefusedBecause,
    // Saving.
    NothingSaved,
    SaveFailed,
    AutoRunFailed,
    MaxHistoryRange,
    KeyRoleSay,
    KeyRoleTeam,
    KeyRoleRcon,
    KeyRoleSend,
    ChooseKey,
    KeyNotInList,
    HotKeyIsSendKey,
    HotKeysEqual,
    // Setting the game up and taking the set-up away.
    SetUpNoSendKey,
    SetUpNoExecutable,
    SetUpEmptyPath,
    FileNotRead,
    FileNotWritten,
    OldContentPutBack,
    OldContentKept,
    BackupRestored,
    BackupNotRestored,
    FileAlreadySetUp,
    FileNowBinds,
    NoModFolders,
    GameSetUp,
    GameNotSetUp,
    LineRemoved,
    NoLineToRemove,
    GameSetUpRemoved,
    GameSetUpNotRemoved,
    // The command line.
    UnknownOption,
    LogNeedsFile,
    Usage,
};

inline constexpr int kHostTextCount = static_cast<int>(HostText::Usage) + 1;

std::string_view Text(HostText id, HostLanguage language) noexcept;

// The text with "{1}" to "{9}" replaced by the arguments in order; a marker
// without an argument is left as it is.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> arguments);
std::string Text(HostText id, HostLanguage language, std::initializer_list<std::string_view> arguments);
