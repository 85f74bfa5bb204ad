// The list of sent messages behind the message edit: oldest first, no two equal,
// at most "Max History Items" entries; persisted in the section "History".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_store.h"

inline constexpr std::string_view kHistorySection = "History";

// Where the stored entries end, as far as "Count" (`count`, above 0) allows. A save
// writes the positions #0 up to #Count-1 one after the other: when the last
// counted one exists, `count` is the end. A count beyond what is stored (a hostile
// or damaged value) must not cost the entries that are there, so the last
// existing position is then searched for below it, by halving: at most 33 probes
// for any count, each a different position.
template <class Exists>
std::uint32_t StoredEnd(std::uint32_t count, Exists&& exists) {
    if (exists(count - 1)) return count;
    // Invariant: everything up to `below` is taken as there (none at first), the
    // position `missing` is not.
    std::int64_t below = -1;
    std::int64_t missing = std::int64_t{count} - 1;
    while (missing - below > 1) {
        const std::int64_t middle = below + (missing - below) / 2;
        if (exists(static_cast<std::uint32_t>(middle))) below = middle;
        else missing = middle;
    }
    return static_cast<std::uint32_t>(below + 1);
}

struct HistoryList {
    std::vector<std::string> m_history;
    std::int32_t m_historyIndex = -1;  // the entry navigation shows; size() when none

    // Moves an equal entry to the newest end (or appends), trims the oldest past
    // maxItems and puts the index past the newest entry. An empty text adds nothing.
    void AddToHistory(std::string_view text, std::uint32_t maxItems);
    // Merges the newest min(maxItems, end) stored entries into the list, oldest of
    // them first, where end is StoredEnd of "Count"; returns how many were added.
    std::int32_t LoadHistory(ProfileStore& profile, std::uint32_t maxItems);
    // Writes the entries over the stored ones, then "Count", then removes whatever
    // else the section holds; returns the entries written. A save that fails
    // part-way stops there, before "Count", so the next load reads the positions
    // the previous save counted, each still a message of the history.
    std::int32_t SaveHistory(ProfileStore& profile);
};
