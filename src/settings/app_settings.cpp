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

// Every value of the key in the order it is read: a string, one of the hot keys,
// a flag (stored as read: a flag of 2 stays 2 and counts as on) or the history
// count. One loop over a table is about half the module's code of a call per value.
struct Value {
    std::string_view name;
    std::string CAppSettings::*text = nullptr;
    int key = -1;  // the index into m_strKeys
    std::int32_t CAppSettings::*flag = nullptr;
    std::string_view textDefault = {};
    std::uint32_t numberDefault = 0;
};

constexpr Value kValues[] = {
    {.name = "Executable File", .text = &CAppSettings::m_strExecutableFile},
    {.name = "Say Key", .key = 0, .textDefault = "Y"},
    {.name = "Say Team Key", .key = 1, .textDefault = "U"},
    {.name = "Rcon Say Key", .key = 2, .textDefault = "P"},
    {.name = "Send Key", .key = 3, .textDefault = "F12"},
    {.name = "Auto IME", .flag = &CAppSettings::m_bAutoIme},
    {.name = "Selected IME", .text = &CAppSettings::m_strSelectedIme},
    {.name = "IME Mode in Chat Box", .flag = &CAppSettings::m_bImeMode, .numberDefault = 1},
    {.name = "Minimize to Tray", .flag = &CAppSettings::m_bMinimizeToTray, .numberDefault = 1},
    {.name = "Start Minimized", .flag = &CAppSettings::m_bStartMinimized},
    {.name = "Remember History", .flag = &CAppSettings::m_bRememberHistory, .numberDefault = 1},
    {.name = "Max History Items", .numberDefault = 10},
};

}  // namespace

void CAppSettings::Load(ProfileStore& profile) {
    for (const Value& value : kValues) {
        if (value.text != nullptr || value.key >= 0) {
            std::string& target = value.text != nullptr ? this->*value.text : m_strKeys[value.key];
            target = ProfileGetString(profile, kSettings, value.name, value.textDefault);
            continue;
        }
        const std::uint32_t number = ProfileGetInt(profile, kSettings, value.name, value.numberDefault);
        if (value.flag != nullptr) {
            this->*value.flag = static_cast<std::int32_t>(number);
        } else {
            m_nMaxHistoryItems = ClampMaxHistoryItems(number);
        }
    }
    m_bAutoRun = 0;  // the Run value decides it afterwards
}
