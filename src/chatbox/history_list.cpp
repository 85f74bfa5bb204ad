#include "chatbox/history_list.h"

#include <algorithm>
#include <cstddef>

namespace {

std::string EntryName(std::uint32_t position) { return "#" + std::to_string(position); }

}  // namespace

void HistoryList::AddToHistory(std::string_view text, std::uint32_t maxItems) {
    // Exact, case-sensitive: texts that differ in letter case are separate entries.
    const auto equal = std::find(m_history.begin(), m_history.end(), text);
    if (equal != m_history.end()) m_history.erase(equal);
    m_history.emplace_back(text);
    if (m_history.size() > maxItems)
        m_history.erase(m_history.begin(), m_history.begin() + static_cast<std::ptrdiff_t>(m_history.size() - maxItems));
    m_historyIndex = static_cast<std::int32_t>(m_history.size());
}

std::int32_t HistoryList::LoadHistory(ProfileStore& profile, std::uint32_t maxItems) {
    const std::uint32_t total = ProfileGetInt(profile, kHistorySection, "Count", 0);
    if (total == 0) return 0;
    // The newest positions, bounded by the setting as well as by "Count": after the
    // maximum was lowered the newest messages are the ones kept, and a hostile
    // count reads no more than the list can keep.
    std::int32_t added = 0;
    for (std::uint32_t i = total - std::min(total, maxItems); i < total; ++i) {
        const std::string text = ProfileGetString(profile, kHistorySection, EntryName(i));
        if (text.empty()) continue;  // missing, unreadable or the empty entry
        AddToHistory(text, maxItems);
        ++added;
    }
    return added;
}

std::int32_t HistoryList::SaveHistory(ProfileStore& profile) {
    // Nothing is removed before the new history is complete: an old entry at a
    // position is only ever replaced by a new one.
    std::vector<std::string> kept;
    kept.reserve(m_history.size() + 1);
    for (std::size_t i = 0; i < m_history.size(); ++i) {
        kept.push_back(EntryName(static_cast<std::uint32_t>(i)));
        if (!ProfileSetString(profile, kHistorySection, kept.back(), m_history[i]))
            return static_cast<std::int32_t>(i);
    }
    const auto written = static_cast<std::int32_t>(m_history.size());
    if (!ProfileSetInt(profile, kHistorySection, "Count", static_cast<std::uint32_t>(written))) return written;
    kept.emplace_back("Count");
    profile.KeepOnly(kHistorySection, kept);  // what it cannot remove lies beyond "Count", unread
    return written;
}
