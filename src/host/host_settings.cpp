#include "host/host_settings.h"

#include "settings/key_names.h"

namespace {

constexpr std::string_view kSettings = "";  // the application key itself
constexpr int kSendKey = 3;
constexpr std::uint32_t kMaxHistoryLimit = 32;

// What each element of CAppSettings::m_strKeys is called in messages to the user.
constexpr HostText kKeyRoles[4] = {HostText::KeyRoleSay, HostText::KeyRoleTeam, HostText::KeyRoleRcon,
                                   HostText::KeyRoleSend};

}  // namespace

std::string CheckKeyChoice(const std::string (&keys)[4], HostLanguage language) {
    auto role = [language](int index) { return Text(kKeyRoles[index], language); };
    std::uint16_t codes[4] = {};
    for (int i = 0; i < 4; ++i) {
        codes[i] = LookupVirtualKey(keys[i]);
        if (codes[i] == 0) {
            return keys[i].empty() ? Text(HostText::ChooseKey, language, {role(i)})
                                   : Text(HostText::KeyNotInList, language, {keys[i], role(i)});
        }
    }
    for (int hot = 0; hot < kSendKey; ++hot) {
        if (codes[hot] == codes[kSendKey]) return Text(HostText::HotKeyIsSendKey, language, {role(hot), keys[hot]});
    }
    for (int first = 0; first < kSendKey; ++first) {
        for (int second = first + 1; second < kSendKey; ++second) {
            if (codes[first] == codes[second])
                return Text(HostText::HotKeysEqual, language, {role(first), role(second), keys[first]});
        }
    }
    return {};
}

std::optional<std::uint32_t> ParseMaxHistoryItems(std::string_view text) noexcept {
    if (text.empty() || text.size() > 2) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value < 1 || value > kMaxHistoryLimit) return std::nullopt;
    return value;
}

std::string CheckSettings(const CAppSettings& settings, HostLanguage language) {
    std::string problem = CheckKeyChoice(settings.m_strKeys, language);
    if (!problem.empty()) return problem;
    if (settings.m_nMaxHistoryItems < 1 || settings.m_nMaxHistoryItems > kMaxHistoryLimit)
        return std::string(Text(HostText::MaxHistoryRange, language));
    return {};
}

bool SaveSettings(ProfileStore& profile, const CAppSettings& settings) {
    auto flag = [](std::int32_t value) { return static_cast<std::uint32_t>(value); };
    // Every write is tried, so that one failing value does not leave the others stale.
    bool saved = true;
    saved &= ProfileSetString(profile, kSettings, "Executable File", settings.m_strExecutableFile);
    saved &= ProfileSetString(profile, kSettings, "Say Key", settings.m_strKeys[0]);
    saved &= ProfileSetString(profile, kSettings, "Say Team Key", settings.m_strKeys[1]);
    saved &= ProfileSetString(profile, kSettings, "Rcon Say Key", settings.m_strKeys[2]);
    saved &= ProfileSetString(profile, kSettings, "Send Key", settings.m_strKeys[3]);
    saved &= ProfileSetInt(profile, kSettings, "Auto IME", flag(settings.m_bAutoIme));
    saved &= ProfileSetString(profile, kSettings, "Selected IME", settings.m_strSelectedIme);
    saved &= ProfileSetInt(profile, kSettings, "IME Mode in Chat Box", flag(settings.m_bImeMode));
    saved &= ProfileSetInt(profile, kSettings, "Minimize to Tray", flag(settings.m_bMinimizeToTray));
    saved &= ProfileSetInt(profile, kSettings, "Start Minimized", flag(settings.m_bStartMinimized));
    saved &= ProfileSetInt(profile, kSettings, "Remember History", flag(settings.m_bRememberHistory));
    saved &= ProfileSetInt(profile, kSettings, "Max History Items", settings.m_nMaxHistoryItems);
    return saved;
}

std::array<std::uint16_t, 4> HotKeyCodes(const CAppSettings& settings) noexcept {
    return {LookupVirtualKey(settings.m_strKeys[0]), LookupVirtualKey(settings.m_strKeys[1]),
            LookupVirtualKey(settings.m_strKeys[2]), 0};
}
