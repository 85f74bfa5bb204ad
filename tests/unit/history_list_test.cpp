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
        {{"a", "b", "c"}, "", 3, {"a", "b", "c"}},  // an empty Enter pushes nothing out
        {{"1", "2", "3", "4"}, "5", 2, {"4", "5"}},
    };
    for (const auto& c : cases) {
        HistoryList list = With(c.before, 0);
        list.AddToHistory(c.text, c.max);
        EXPECT_EQ(list.m_history, c.after) << c.text;
        EXPECT_EQ(list.m_historyIndex, std::int32_t(c.after.size())) << c.text;
    }
}

TEST(LoadHistory, MergesTheNewestPositionsBelowCountSkippingEmptyAndMissing) {
    // A maximum lowered from 10 to 3 keeps the 3 newest messages, not the 3 oldest.
    FakeProfileStore ten;
    PutEntries(ten, 10, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(ten, 3), 3);
    EXPECT_EQ(list.m_history, (List{"7", "8", "9"}));
    EXPECT_EQ(list.m_historyIndex, 3);
    HistoryList all;
    EXPECT_EQ(all.LoadHistory(ten, 32), 10);
    EXPECT_EQ(all.m_history.front(), "0");

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
    store.PutString("History", "#4294967294", "last");
    store.callBudget = 100;
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(store, 32), 1);
    EXPECT_EQ(list.m_history, (List{"last"}));
    EXPECT_EQ(store.calls.size(), 1u + 32u) << "each position read once";
    EXPECT_EQ(store.calls[1], "ReadRaw History/#4294967294");
    EXPECT_EQ(store.calls[2], "ReadRaw History/#4294967263");
}

TEST(LoadHistory, CountBeyondTheStoredEntriesCostsNoneOfThem) {
    // 40 stored messages under a hostile count: the box offers the newest of them
    // up to the maximum, and the save writes them back.
    List forty;
    for (int i = 0; i < 40; ++i) forty.push_back("m" + std::to_string(i));
    for (std::uint32_t count : {0xFFFFFFFFu, 41u, 1000u, 0x80000000u}) {
        SCOPED_TRACE(count);
        FakeProfileStore store;
        PutEntries(store, count, forty);
        store.callBudget = 1 + 33 + 32;
        HistoryList list;
        EXPECT_EQ(list.LoadHistory(store, 32), 32);
        EXPECT_EQ(list.m_history, List(forty.begin() + 8, forty.end()));
        store.callBudget = 100000;
        HistoryList all;
        EXPECT_EQ(all.LoadHistory(store, 40), 40);
        EXPECT_EQ(all.m_history, forty);
        EXPECT_EQ(all.SaveHistory(store), 40);
        EXPECT_EQ(ProfileGetInt(store, "History", "Count", 0), 40u);
        EXPECT_EQ(store.ValueNames("History").size(), 41u);
    }
}

TEST(StoredEnd, FindsTheLastExistingPositionWithFewProbes) {
    // Positions 0..stored-1 exist; the count may lie anywhere at or beyond them.
    const struct { std::uint32_t stored, count, end; } cases[] = {
        {40, 40, 40}, {40, 41, 40}, {40, 0xFFFFFFFFu, 40}, {0, 5, 0}, {1, 0xFFFFFFFFu, 1},
        {0, 1, 0}, {7, 3, 3},  // a count below the stored run keeps to the count
    };
    for (const auto& c : cases) {
        int probes = 0;
        const std::uint32_t end = StoredEnd(c.count, [&](std::uint32_t p) { return ++probes, p < c.stored; });
        EXPECT_EQ(end, c.end) << c.stored << " " << c.count;
        EXPECT_LE(probes, 33) << c.stored << " " << c.count;
    }
}

TEST(SaveHistory, WritesEntriesAndCountThenRemovesEverythingElse) {
    FakeProfileStore store;
    PutEntries(store, 10, {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    store.PutString("History", "#03", "hostile");
    store.PutString("History", "count", "a second count");  // the registry's "Count" itself
    store.PutString("History\\Sub", "v", "x");
    HistoryList list = With({"a", "", "c"});
    EXPECT_EQ(list.SaveHistory(store), 3);
    EXPECT_EQ(store.calls, (List{"WriteString History/#0", "WriteString History/#1", "WriteString History/#2",
                                 "WriteInt History/Count", "KeepOnly History"}));
    EXPECT_EQ(store.ValueNames("History"), (List{"#0", "#1", "#2", "Count", "count"}));
    EXPECT_FALSE(store.sections.contains("History\\Sub"));
    EXPECT_EQ(ProfileGetString(store, "History", "#1", "missing"), "");
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 3u);
    HistoryList again = With({"a", "c"});
    again.LoadHistory(store, 10);  // what was saved loads back unchanged
    EXPECT_EQ(again.m_history, (List{"a", "c"}));

    HistoryList empty;
    EXPECT_EQ(empty.SaveHistory(store), 0);
    EXPECT_EQ(store.ValueNames("History"), (List{"Count", "count"}));
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 0u);
}

TEST(SaveHistory, AFailurePartWayLeavesThePreviousHistoryLoadable) {
    // Stored [a, b, c]; the box added d. Whichever write fails, the next load still
    // finds every message the previous save kept.
    for (const char* failing : {"#0", "#2", "#3", "Count"}) {
        SCOPED_TRACE(failing);
        FakeProfileStore store;
        PutEntries(store, 3, {"a", "b", "c"});
        store.failingWrites.insert(failing);
        HistoryList list = With({"a", "b", "c", "d"});
        const std::int32_t written = list.SaveHistory(store);
        EXPECT_EQ(written, std::string(failing) == "Count" ? 4 : failing[1] - '0');
        EXPECT_EQ(ProfileGetInt(store, "History", "Count", 99), 3u) << "the old count stays";
        EXPECT_EQ(store.calls.back().rfind("KeepOnly", 0), std::string::npos) << "nothing was removed";
        HistoryList next;
        next.LoadHistory(store, 10);
        EXPECT_EQ(next.m_history, (List{"a", "b", "c"}));
    }

    FakeProfileStore closed;
    closed.cannotOpen = true;
    EXPECT_EQ(With({"a"}).SaveHistory(closed), 0);
    EXPECT_TRUE(closed.sections.empty());
}

TEST(SaveHistory, WhatCannotBeRemovedLiesBeyondCountUnread) {
    FakeProfileStore store;
    PutEntries(store, 5, {"0", "1", "2", "3", "4"});
    store.deleteFails = true;
    HistoryList list = With({"a", "b"});
    EXPECT_EQ(list.SaveHistory(store), 2);
    HistoryList next;
    EXPECT_EQ(next.LoadHistory(store, 10), 2);
    EXPECT_EQ(next.m_history, (List{"a", "b"}));
}

}  // namespace
