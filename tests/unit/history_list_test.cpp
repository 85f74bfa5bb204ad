#include "chatbox/history_list.h"

#include <gtest/gtest.h>

#include "fake_profile_store.h"

namespace {

using List = std::vector<std::string>;

HistoryList With(List entries, std::int32_t index = -1) {
    HistoryList list;
    list.m_history = std::move(entries);
    list.m_historyIndex = index;
    return list;
}

void PutEntries(FakeProfileStore& store, std::uint32_t count, const List& values) {
    store.PutDword("History", "Count", count);
    for (std::size_t i = 0; i < values.size(); ++i) store.PutString("History", "#" + std::to_string(i), values[i]);
}

TEST(AddToHistory, AppendsMovesEqualEntryTrimsOldestAndIndexesPastTheEnd) {
    const struct { List before; const char* text; std::uint32_t max; List after; } cases[] = {
        {{}, "a", 3, {"a"}},
        {{"a", "b", "c"}, "d", 3, {"b", "c", "d"}},
        {{"a", "b", "c"}, "b", 3, {"a", "c", "b"}},
        {{"Hello"}, "hello", 3, {"Hello", "hello"}},
        {{"x", "y"}, "z", 1, {"z"}},
        {{"a", "", "b"}, "", 10, {"a", "b", ""}},
        {{"1", "2", "3", "4"}, "5", 2, {"4", "5"}},
    };
    for (const auto& c : cases) {
        HistoryList list = With(c.before, 0);
        list.AddToHistory(c.text, c.max);
        EXPECT_EQ(list.m_history, c.after) << c.text;
        EXPECT_EQ(list.m_historyIndex, std::int32_t(c.after.size())) << c.text;
    }
}

TEST(LoadHistory, MergesPositionsBelowCountAndLimitSkippingEmptyAndMissing) {
    FakeProfileStore five;
    PutEntries(five, 5, {"a", "b", "c", "d", "e"});
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(five, 3), 3);
    EXPECT_EQ(list.m_history, (List{"a", "b", "c"}));
    EXPECT_EQ(list.m_historyIndex, 3);

    FakeProfileStore gaps;
    PutEntries(gaps, 4, {"a", "x", "", "a", "z"});
    gaps.sections["History"].erase("#1");
    HistoryList merged = With({"z", "a", "q"}, 0);
    EXPECT_EQ(merged.LoadHistory(gaps, 10), 2);
    EXPECT_EQ(merged.m_history, (List{"z", "q", "a"}));  // "#4" lies past Count
}

TEST(LoadHistory, NoCountLeavesTheListAlone) {
    for (int variant = 0; variant < 3; ++variant) {
        FakeProfileStore store;
        PutEntries(store, 0, {"a"});
        if (variant == 1) store.sections["History"].erase("Count");
        store.cannotOpen = variant == 2;
        HistoryList list = With({"keep"}, 0);
        EXPECT_EQ(list.LoadHistory(store, 10), 0);
        EXPECT_EQ(list.m_history, (List{"keep"}));
        EXPECT_EQ(list.m_historyIndex, 0);
    }
}

TEST(LoadHistory, HostileCountReadsNoMoreThanTheLimit) {
    FakeProfileStore store;
    store.PutDword("History", "Count", 0xFFFFFFFFu);
    store.callBudget = 100;
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(store, 32), 0);
    EXPECT_EQ(store.calls.size(), 1u + 32u);
}

TEST(SaveHistory, DeletesThenWritesEveryEntryAndTheCountOfSuccesses) {
    FakeProfileStore store;
    PutEntries(store, 10, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    HistoryList list = With({"a", "", "c"});
    EXPECT_EQ(list.SaveHistory(store), 3);
    EXPECT_EQ(store.calls.front(), "DeleteSection History");
    EXPECT_EQ(store.ValueNames("History"), (List{"#0", "#1", "#2", "Count"}));
    EXPECT_EQ(ProfileGetString(store, "History", "#1", "missing"), "");
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 3u);
    HistoryList again = With({"a", "c"});
    again.LoadHistory(store, 10);  // what was saved loads back unchanged
    EXPECT_EQ(again.m_history, (List{"a", "c"}));

    HistoryList empty;
    EXPECT_EQ(empty.SaveHistory(store), 0);
    EXPECT_EQ(store.ValueNames("History"), (List{"Count"}));
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 0u);
}

TEST(SaveHistory, FailedWriteLeavesAGapThatTheNextLoadDoesNotReach) {
    FakeProfileStore store;
    store.failingWrites.insert("#1");
    HistoryList list = With({"a", "b", "c"});
    EXPECT_EQ(list.SaveHistory(store), 2);
    EXPECT_EQ(store.ValueNames("History"), (List{"#0", "#2", "Count"}));
    HistoryList next;
    EXPECT_EQ(next.LoadHistory(store, 10), 1);
    EXPECT_EQ(next.m_history, (List{"a"}));

    FakeProfileStore closed;
    closed.cannotOpen = true;
    EXPECT_EQ(list.SaveHistory(closed), 0);
    EXPECT_TRUE(closed.sections.empty());
}

}  // namespace
