#include "settings/app_settings.h"

namespace {

constexpr std::string_view kSettings = "";  // the application key itself

constexpr std::uint32_t kMaxHistoryCeiling = 32;

// Unsigned on purpose: a stored -1 is 0xFFFFFFFF and lands on the ceiling.
std::uint32_t ClampMaxHistoryItems(std::uint32_t value) noexcept {
    if (value > kMaxHistoryCeiling) return kMaxHistoryCeiling;
    if (value == 0) return 1;
    return value;
}

std::int32_t GetFlag(ProfileStore& profile, std::string_view name, std::int32_t defaultValue) {
    // Stored as read: a flag of 2 stays 2 and counts as on.
    return static_cast<std::int32_t>(
        ProfileGetInt(profile, kSettings, name, static_cast<std::uint32_t>(defaultValue)));
}

}  // namespace

void CAppSettings::Load(ProfileStore& profile) {
    m_strExecutableFile = ProfileGetString(profile, kSettings, "Executable File");
    m_strKeys[0] = ProfileGetString(profile, kSettings, "Say Key", "Y");
    m_strKeys[1] = ProfileGetString(profile, kSettings, "Say Team Key", "U");
    m_strKeys[2] = ProfileGetString(profile, kSettings, "Rcon Say Key", "P");
    m_strKeys[3] = ProfileGetString(profile, kSettings, "Send Key", "F12");
    m_bAutoIme = GetFlag(profile, "Auto IME", 0);
    m_strSelectedIme = ProfileGetString(profile, kSettings, "Selected IME");
    m_bImeMode = GetFlag(profile, "IME Mode in Chat Box", 1);
    m_bMinimizeToTray = GetFlag(profile, "Minimize to Tray", 1);
    m_bStartMinimized = GetFlag(profile, "Start Minimized", 0);
    m_bRememberHistory = GetFlag(profile, "Remember History", 1);
    m_nMaxHistoryItems = ClampMaxHistoryItems(ProfileGetInt(profile, kSettings, "Max History Items", 10));
    m_bAutoRun = 0;  // the Run value decides it afterwards
}
