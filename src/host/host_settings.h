// The checks the host makes before it saves the user's choices, the saving itself,
// and the hot key codes it hands the module.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/host_texts.h"
#include "settings/app_settings.h"
#include "settings/profile_store.h"

// Empty when the four key names can be saved; otherwise a message that says which
// choice is wrong and why. The module would misread a key that is not in the key
// table, a hot key equal to the send key (the pressed send key would open the box
// instead of reaching the game) and two equal hot keys (one of the boxes could
// never be opened).
std::string CheckKeyChoice(const std::string (&keys)[4], HostLanguage language);

// "Max History Items" as typed: digits only, 1 to 32.
std::optional<std::uint32_t> ParseMaxHistoryItems(std::string_view text) noexcept;

// Empty when the whole record can be saved; otherwise the first problem found.
std::string CheckSettings(const CAppSettings& settings, HostLanguage language);

// Writes every value of the application key that the module reads, with the types
// it expects; m_bAutoRun is the platform's (the Run key). True when every write
// succeeded. Callers check first: nothing here refuses a value.
bool SaveSettings(ProfileStore& profile, const CAppSettings& settings);

// The codes for SetHotKeys: say, say team, rcon say, and a fourth key of 0.
std::array<std::uint16_t, 4> HotKeyCodes(const CAppSettings& settings) noexcept;
