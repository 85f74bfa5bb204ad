#include "chatbox/history_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_profile_store.h"

namespace {

using List = std::vector<std::string>;

HistoryList With(List entries) {
    HistoryList list;
    list.m_history = std::move(entries);
    list.m_historyIndex = static_cast<std::int32_t>(list.m_history.size());
    return list;
}

TEST(AddToHistory, AppendsMovesDuplicatesAndTrimsTheOldest) {
    HistoryList list;
    EXPECT_EQ(list.m_historyIndex, -1);
    list.AddToHistory("a", 3);
    EXPECT_EQ(list.m_historyIndex, 1);

    HistoryList full = With({"a", "b", "c"});
    full.AddToHistory("d", 3);
    EXPECT_EQ(full.m_history, (List{"b", "c", "d"}));
    EXPECT_EQ(full.m_historyIndex, 3);

    HistoryList moved = With({"a", "b", "c"});
    moved.m_historyIndex = 0;
    moved.AddToHistory("b", 3);
    EXPECT_EQ(moved.m_history, (List{"a", "c", "b"}));
    EXPECT_EQ(moved.m_historyIndex, 3);

    HistoryList cased = With({"Hello"});
    cased.AddToHistory("hello", 3);
    EXPECT_EQ(cased.m_history, (List{"Hello", "hello"}));

    HistoryList single;
    for (const char* text : {"x", "y", "z"}) single.AddToHistory(text, 1);
    EXPECT_EQ(single.m_history, (List{"z"}));
    EXPECT_EQ(single.m_historyIndex, 1);
}

TEST(AddToHistory, EmptyTextIsOneEntryLikeAnyOther) {
    HistoryList list = With({"a"});
    list.AddToHistory("", 10);
    list.AddToHistory("b", 10);
    list.AddToHistory("", 10);
    EXPECT_EQ(list.m_history, (List{"a", "b", ""}));
}

TEST(AddToHistory, ShrinkingTheLimitTrimsSeveralAtOnce) {
    HistoryList list = With({"1", "2", "3", "4", "5"});
    list.AddToHistory("6", 2);
    EXPECT_EQ(list.m_history, (List{"5", "6"}));
    EXPECT_EQ(list.m_historyIndex, 2);
}

void PutEntries(FakeProfileStore& store, std::uint32_t count, const List& values) {
    store.PutDword("History", "Count", count);
    for (std::size_t i = 0; i < values.size(); ++i)
        store.PutString("History", "#" + std::to_string(i), values[i]);
}

TEST(LoadHistory, ReadsTheOldestPositionsUpToCountAndTheLimit) {
    FakeProfileStore store;
    PutEntries(store, 5, {"a", "b", "c", "d", "e"});
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(store, 3), 3);
    EXPECT_EQ(list.m_history, (List{"a", "b", "c"}));
    EXPECT_EQ(list.m_historyIndex, 3);
    EXPECT_EQ(store.CountCalls(FakeProfileStore::Op::ReadRaw), 3u);

    FakeProfileStore shortCount;
    PutEntries(shortCount, 2, {"a", "b", "c"});
    HistoryList two;
    EXPECT_EQ(two.LoadHistory(shortCount, 10), 2);
    EXPECT_EQ(two.m_history, (List{"a", "b"}));
}

TEST(LoadHistory, SkipsMissingAndEmptyValuesAndMergesDuplicates) {
    FakeProfileStore gap;
    PutEntries(gap, 3, {"a", "", "c"});
    gap.sections["History"].erase("#1");
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(gap, 10), 2);
    EXPECT_EQ(list.m_history, (List{"a", "c"}));

    FakeProfileStore empties;
    PutEntries(empties, 3, {"", "x", ""});
    HistoryList one;
    EXPECT_EQ(one.LoadHistory(empties, 10), 1);
    EXPECT_EQ(one.m_history, (List{"x"}));

    FakeProfileStore dup;
    PutEntries(dup, 4, {"a", "b", "a", "c"});
    HistoryList merged = With({"c", "z"});
    EXPECT_EQ(merged.LoadHistory(dup, 10), 4);
    EXPECT_EQ(merged.m_history, (List{"z", "b", "a", "c"}));
}

TEST(LoadHistory, NoCountLoadsNothingAndLeavesTheListAlone) {
    for (int variant = 0; variant < 3; ++variant) {
        FakeProfileStore store;
        PutEntries(store, 0, {"a", "b"});
        if (variant == 1) store.sections["History"].erase("Count");
        if (variant == 2) store.cannotOpen = true;
        HistoryList list = With({"keep"});
        list.m_historyIndex = 0;
        EXPECT_EQ(list.LoadHistory(store, 10), 0) << variant;
        EXPECT_EQ(list.m_history, (List{"keep"})) << variant;
        EXPECT_EQ(list.m_historyIndex, 0) << variant;
        EXPECT_EQ(store.CountCalls(FakeProfileStore::Op::ReadRaw), 0u) << variant;
    }
}

TEST(LoadHistory, HostileCountStaysBoundedByTheLimit) {
    FakeProfileStore store;
    store.PutDword("History", "Count", 0xFFFFFFFFu);
    store.callBudget = 100;
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(store, 32), 0);
    EXPECT_EQ(store.CountCalls(FakeProfileStore::Op::ReadRaw), 32u);
}

TEST(LoadHistory, LoadingWhatWasSavedLeavesTheListAsItWas) {
    FakeProfileStore store;
    HistoryList list = With({"a", "b", "c"});
    list.SaveHistory(store);
    list.LoadHistory(store, 3);
    EXPECT_EQ(list.m_history, (List{"a", "b", "c"}));
}

TEST(SaveHistory, RewritesTheSectionFromScratch) {
    FakeProfileStore store;
    PutEntries(store, 10, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    store.PutString("History\\Sub", "x", "y");
    HistoryList list = With({"a", "", "c"});
    EXPECT_EQ(list.SaveHistory(store), 3);
    ASSERT_FALSE(store.calls.empty());
    EXPECT_EQ(store.calls.front().op, FakeProfileStore::Op::DeleteSection);
    EXPECT_EQ(store.calls.front().section, "History");
    EXPECT_EQ(store.ValueNames("History"), (List{"#0", "#1", "#2", "Count"}));
    EXPECT_EQ(ProfileGetString(store, "History", "#1", "missing"), "");
    EXPECT_EQ(ProfileGetString(store, "History", "#2"), "c");
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 3u);
    EXPECT_EQ(store.Find("History", "Count")->type, FakeProfileStore::kDword);
}

TEST(SaveHistory, EmptyListWritesCountZero) {
    FakeProfileStore store;
    PutEntries(store, 2, {"a", "b"});
    HistoryList list;
    EXPECT_EQ(list.SaveHistory(store), 0);
    EXPECT_EQ(store.ValueNames("History"), (List{"Count"}));
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 0u);
}

TEST(SaveHistory, FailedWriteLeavesAGapAndIsNotCounted) {
    FakeProfileStore store;
    store.failingWrites.insert("#1");
    HistoryList list = With({"a", "b", "c"});
    EXPECT_EQ(list.SaveHistory(store), 2);
    EXPECT_EQ(store.ValueNames("History"), (List{"#0", "#2", "Count"}));
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 2u);
    // The next load reads positions 0 and 1 only: it skips the gap and misses "c".
    HistoryList next;
    EXPECT_EQ(next.LoadHistory(store, 10), 1);
    EXPECT_EQ(next.m_history, (List{"a"}));
}

TEST(SaveHistory, FailedDeleteOverwritesAndLeavesOlderValuesUnread) {
    FakeProfileStore store;
    PutEntries(store, 4, {"0", "1", "2", "3"});
    store.deleteFails = true;
    HistoryList list = With({"a", "b"});
    EXPECT_EQ(list.SaveHistory(store), 2);
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 2u);
    HistoryList next;
    next.LoadHistory(store, 10);
    EXPECT_EQ(next.m_history, (List{"a", "b"}));

    FakeProfileStore closed;
    closed.cannotOpen = true;
    EXPECT_EQ(list.SaveHistory(closed), 0);
    EXPECT_TRUE(closed.sections.empty());
}

}  // namespace
