#include "chatbox/history_list.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <optional>
#include <utility>

namespace {

// Through the digits' conversion the module has already, not std::to_string's own.
std::string EntryName(std::uint32_t position) {
    char name[1 + 10] = {'#'};  // the largest position has 10 digits
    const char* end = std::to_chars(name + 1, name + sizeof name, position).ptr;
    return std::string(name, static_cast<std::size_t>(end - name));
}

}  // namespace

void HistoryList::AddToHistory(std::string_view text, std::uint32_t maxItems) {
    // An empty Enter sent nothing: it records nothing, and in a full list it must
    // not push out the oldest real message.
    if (!text.empty()) {
        // Exact, case-sensitive: texts that differ in letter case are separate entries.
        const auto equal = std::find(m_history.begin(), m_history.end(), text);
        if (equal != m_history.end()) m_history.erase(equal);
        // Each insert into a list of strings takes a string made first: one
        // instantiation of the vector's growth in the module, not one per kind of
        // argument.
        m_history.push_back(std::string(text));
        if (m_history.size() > maxItems)
            m_history.erase(m_history.begin(),
                            m_history.begin() + static_cast<std::ptrdiff_t>(m_history.size() - maxItems));
    }
    m_historyIndex = static_cast<std::int32_t>(m_history.size());
}

std::int32_t HistoryList::LoadHistory(ProfileStore& profile, std::uint32_t maxItems) {
    const std::uint32_t count = ProfileGetInt(profile, kHistorySection, "Count", 0);
    if (count == 0) return 0;
    // Each position is read once at most, whether to find the end or to take it:
    // the search's probes, 33 at most (one, then one per halving of a 32-bit
    // count), are kept in place for the merge, which visits each position once.
    constexpr std::size_t kMaxProbes = 33;
    std::uint32_t probed[kMaxProbes];
    std::optional<std::string> probes[kMaxProbes];
    std::size_t probeCount = 0;
    const auto read = [&](std::uint32_t position) {
        return profile.ReadRaw(kHistorySection, EntryName(position));
    };
    const std::uint32_t end = StoredEnd(count, [&](std::uint32_t position) {
        if (probeCount == kMaxProbes) return read(position).has_value();  // never, by the bound
        probed[probeCount] = position;
        probes[probeCount] = read(position);
        return probes[probeCount++].has_value();
    });
    // The newest positions, bounded by the setting as well: after the maximum was
    // lowered the newest messages are the ones kept.
    std::int32_t added = 0;
    const auto take = [&](const std::optional<std::string>& raw) {
        if (!raw) return;
        const std::string text = DecodeProfileString(*raw);
        if (text.empty()) return;  // unreadable, or an empty entry of an older save
        AddToHistory(text, maxItems);
        ++added;
    };
    for (std::uint32_t i = end - std::min(end, maxItems); i < end; ++i) {
        const std::uint32_t* const probe = std::find(probed, probed + probeCount, i);
        if (probe != probed + probeCount) take(probes[probe - probed]);
        else take(read(i));
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
    kept.push_back(std::string("Count"));
    profile.KeepOnly(kHistorySection, kept);  // what it cannot remove lies beyond "Count", unread
    return written;
}
