// The history load over arbitrary stored contents, on top of a list that may
// already hold entries, and the save and load round trip of the result.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "chatbox/history_list.h"
#include "fuzz_check.h"
#include "fuzzed_profile_store.h"

namespace {

void CheckListRules(const HistoryList& list, std::uint32_t maxItems) {
    FUZZ_CHECK(list.m_history.size() <= maxItems);
    const std::set<std::string> distinct(list.m_history.begin(), list.m_history.end());
    FUZZ_CHECK(distinct.size() == list.m_history.size());
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
    // A hostile "Count" reads no more entries than the list can keep, and what is
    // read is one run of consecutive positions, each read once.
    std::set<std::uint64_t> positions;
    for (const auto& [value, count] : stored.Reads()) {
        if (value.second == "Count") continue;
        FUZZ_CHECK(count == 1 && value.second.size() > 1 && value.second[0] == '#');
        positions.insert(std::stoull(value.second.substr(1)));
    }
    FUZZ_CHECK(positions.size() <= maxItems);
    FUZZ_CHECK(positions.empty() || *positions.rbegin() - *positions.begin() + 1 == positions.size());
    // Every text the load found stands in the list, and together they are its
    // newest entries: what was there before only ever sits below them. Stored
    // values may repeat each other and the entries typed earlier, so their number
    // says nothing about where the empty entry ends up.
    std::set<std::string> found;
    for (const auto& [name, raw] : stored.Answers())
        if (name != "Count" && !DecodeProfileString(raw).empty()) found.insert(DecodeProfileString(raw));
    FUZZ_CHECK(found.size() <= list.m_history.size());
    const std::set<std::string> newest(list.m_history.end() - static_cast<std::ptrdiff_t>(found.size()),
                                       list.m_history.end());
    FUZZ_CHECK(newest == found);
    if (added > 0) {
        FUZZ_CHECK(!found.empty());
        FUZZ_CHECK(list.m_historyIndex == static_cast<std::int32_t>(list.m_history.size()));
    } else {
        FUZZ_CHECK(found.empty());
        FUZZ_CHECK(list.m_history == before);
        FUZZ_CHECK(list.m_historyIndex == indexBefore);
    }

    // A save whose writes may fail anywhere counts no more than the list holds.
    FuzzedProfileStore failing(data);
    const std::int32_t written = list.SaveHistory(failing);
    FUZZ_CHECK(written >= 0 && static_cast<std::size_t>(written) <= list.m_history.size());

    // What is saved loads back the same, the empty entry aside (it is never stored
    // as an entry of its own).
    MemoryProfileStore memory;
    FUZZ_CHECK(list.SaveHistory(memory) == static_cast<std::int32_t>(list.m_history.size()));
    HistoryList reloaded;
    reloaded.LoadHistory(memory, maxItems);
    std::vector<std::string> expected = list.m_history;
    std::erase(expected, std::string());
    FUZZ_CHECK(reloaded.m_history == expected);
    return 0;
}
