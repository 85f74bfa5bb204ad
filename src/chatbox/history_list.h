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
    // Merges the newest min(maxItems, "Count") stored entries into the list, oldest
    // of them first; returns how many were added.
    std::int32_t LoadHistory(ProfileStore& profile, std::uint32_t maxItems);
    // Writes the entries over the stored ones, then "Count", then removes whatever
    // else the section holds; returns the entries written. A save that fails
    // part-way stops there, before "Count", so the next load reads the positions
    // the previous save counted, each still a message of the history.
    std::int32_t SaveHistory(ProfileStore& profile);
};
