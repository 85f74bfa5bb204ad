// The list of sent messages behind the message edit: oldest first, no two equal,
// at most "Max History Items" entries; persisted in the section "History".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_store.h"

inline constexpr std::string_view kHistorySection = "History";

struct HistoryList {
    std::vector<std::string> m_history;
    std::int32_t m_historyIndex = -1;  // the entry navigation shows; size() when none

    // Moves an equal entry to the newest end (or appends), trims the oldest past
    // maxItems and puts the index past the newest entry.
    void AddToHistory(std::string_view text, std::uint32_t maxItems);
    // Merges the stored entries into the list; returns how many were added.
    std::int32_t LoadHistory(ProfileStore& profile, std::uint32_t maxItems);
    // Deletes the stored section and writes the list anew; returns the entries written.
    std::int32_t SaveHistory(ProfileStore& profile);
};
