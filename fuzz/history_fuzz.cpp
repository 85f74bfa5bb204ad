// The history load over arbitrary stored contents, on top of a list that may
// already hold entries, and the save and load round trip of the result.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "chatbox/history_list.h"
#include "fuzz_check.h"
#include "fuzzed_profile_store.h"

namespace {

void CheckListRules(const HistoryList& list, std::uint32_t maxItems) {
    FUZZ_CHECK(list.m_history.size() <= maxItems);
    const std::set<std::string> distinct(list.m_history.begin(), list.m_history.end());
    FUZZ_CHECK(distinct.size() == list.m_history.size());
    // Neither an empty Enter nor an empty stored entry is a message.
    FUZZ_CHECK(!distinct.contains(std::string()));
}

// Stored as a save leaves them, #0 up to #stored-1, all different, under a count
// that may lie anywhere at or beyond them: the load offers the newest of them up
// to the maximum, in order, and the save writes those back.
void CheckCountBeyondTheEntries(FuzzedDataProvider& data, std::uint32_t maxItems) {
    const auto stored = data.ConsumeIntegralInRange<std::uint32_t>(0, 40);
    const std::uint32_t count = stored + data.ConsumeIntegralInRange<std::uint32_t>(0, 0xFFFFFFFFu - stored);
    if (count == 0) return;
    MemoryProfileStore memory;
    FUZZ_CHECK(memory.WriteInt("History", "Count", count));
    std::vector<std::string> entries;
    for (std::uint32_t i = 0; i < stored; ++i) {
        entries.push_back("m" + std::to_string(i));
        FUZZ_CHECK(memory.WriteString("History", "#" + std::to_string(i), entries.back()));
    }
    HistoryList list;
    list.LoadHistory(memory, maxItems);
    const std::size_t offered = std::min<std::size_t>(stored, maxItems);
    FUZZ_CHECK(list.m_history == std::vector<std::string>(entries.end() - static_cast<std::ptrdiff_t>(offered),
                                                          entries.end()));
    FUZZ_CHECK(list.SaveHistory(memory) == static_cast<std::int32_t>(offered));
    HistoryList reloaded;
    reloaded.LoadHistory(memory, maxItems);
    FUZZ_CHECK(reloaded.m_history == list.m_history);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    // "Max History Items" always reaches the list clamped to 1..32.
    const auto maxItems = data.ConsumeIntegralInRange<std::uint32_t>(1, 32);

    HistoryList list;
    const int typed = data.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < typed; ++i) {
        // Typed text comes from the edit's window text, which holds no NUL.
        std::string text = data.ConsumeRandomLengthString(40);
        std::erase(text, '\0');
        list.AddToHistory(text, maxItems);
        CheckListRules(list, maxItems);
        FUZZ_CHECK(list.m_historyIndex == static_cast<std::int32_t>(list.m_history.size()));
    }
    const std::vector<std::string> before = list.m_history;
    const std::int32_t indexBefore = list.m_historyIndex;

    FuzzedProfileStore stored(data);
    const std::int32_t added = list.LoadHistory(stored, maxItems);
    CheckListRules(list, maxItems);
    FUZZ_CHECK(added >= 0 && static_cast<std::uint32_t>(added) <= maxItems);
    // Whatever "Count" says, each position is read once at most, and no more of
    // them than the list can keep and the search for the stored end (33) together;
    // none at or beyond the count.
    std::uint32_t count = 0;
    std::set<std::string> found;
    for (const auto& [name, raw] : stored.Answers()) {
        if (name == "Count") count = DecodeProfileInt(std::as_bytes(std::span(raw.data(), raw.size()))).value_or(0);
        else found.insert(DecodeProfileString(raw));
    }
    std::set<std::uint64_t> positions;
    for (const auto& [value, times] : stored.Reads()) {
        if (value.second == "Count") continue;
        FUZZ_CHECK(times == 1 && value.second.size() > 1 && value.second[0] == '#');
        positions.insert(std::stoull(value.second.substr(1)));
    }
    FUZZ_CHECK(positions.size() <= maxItems + 33);
    FUZZ_CHECK(positions.empty() || *positions.rbegin() < count);
    // Nothing is invented: a text new to the list is one the load found.
    for (const std::string& text : list.m_history)
        FUZZ_CHECK(found.contains(text) || std::find(before.begin(), before.end(), text) != before.end());
    if (added > 0) {
        FUZZ_CHECK(list.m_historyIndex == static_cast<std::int32_t>(list.m_history.size()));
        FUZZ_CHECK(found.contains(list.m_history.back()));
    } else {
        FUZZ_CHECK(list.m_history == before);
        FUZZ_CHECK(list.m_historyIndex == indexBefore);
    }

    // A save whose writes may fail anywhere counts no more than the list holds.
    FuzzedProfileStore failing(data);
    const std::int32_t written = list.SaveHistory(failing);
    FUZZ_CHECK(written >= 0 && static_cast<std::size_t>(written) <= list.m_history.size());

    // What is saved loads back the same.
    MemoryProfileStore memory;
    FUZZ_CHECK(list.SaveHistory(memory) == static_cast<std::int32_t>(list.m_history.size()));
    HistoryList reloaded;
    reloaded.LoadHistory(memory, maxItems);
    FUZZ_CHECK(reloaded.m_history == list.m_history);

    CheckCountBeyondTheEntries(data, maxItems);
    return 0;
}
