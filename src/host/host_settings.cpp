#include "host/host_settings.h"

#include "settings/key_names.h"

namespace {

constexpr std::string_view kSettings = "";  // the application key itself
constexpr int kSendKey = 3;
constexpr std::uint32_t kMaxHistoryLimit = 32;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

}  // namespace

std::string CheckKeyChoice(const std::string (&keys)[4]) {
    std::uint16_t codes[4] = {};
    for (int i = 0; i < 4; ++i) {
        codes[i] = LookupVirtualKey(keys[i]);
        if (codes[i] == 0) {
            return keys[i].empty() ? "Choose a " + std::string(kKeyRoles[i]) + "."
                                   : Quoted(keys[i]) + " cannot be the " + kKeyRoles[i] +
                                         ": choose one of the keys in the list.";
        }
    }
    for (int hot = 0; hot < kSendKey; ++hot) {
        if (codes[hot] == codes[kSendKey]) {
            return std::string("The ") + kKeyRoles[hot] + " and the send key are both " + Quoted(keys[hot]) +
                   ". The send key must open no chat box, or the game never receives it and no "
                   "message is said. Choose different keys.";
        }
    }
    for (int first = 0; first < kSendKey; ++first) {
        for (int second = first + 1; second < kSendKey; ++second) {
            if (codes[first] == codes[second]) {
                return std::string("The ") + kKeyRoles[first] + " and the " + kKeyRoles[second] +
                       " are both " + Quoted(keys[first]) +
                       ". Each chat box needs a key of its own. Choose different keys.";
            }
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

std::string CheckSettings(const CAppSettings& settings) {
    std::string problem = CheckKeyChoice(settings.m_strKeys);
    if (!problem.empty()) return problem;
    if (settings.m_nMaxHistoryItems < 1 || settings.m_nMaxHistoryItems > kMaxHistoryLimit)
        return "Max History Items must be a number from 1 to 32.";
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
