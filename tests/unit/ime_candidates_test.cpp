#include "chatbox/ime/ime_candidates.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace {

CandidatePage Page(std::size_t first, std::size_t end, std::optional<std::size_t> selected, std::size_t number,
                   std::size_t count) {
    return CandidatePage{first, end, selected, number, count};
}

// An IMM candidate list laid out as the IME copies it out.
std::vector<std::uint8_t> ImmList(std::uint32_t selection, std::uint32_t pageStart, std::uint32_t pageSize,
                                  const std::vector<std::u16string>& entries) {
    std::vector<std::uint32_t> header{0, 1, static_cast<std::uint32_t>(entries.size()), selection, pageStart, pageSize};
    std::uint32_t at = static_cast<std::uint32_t>(4 * (header.size() + entries.size()));
    for (const auto& e : entries) {
        header.push_back(at);
        at += static_cast<std::uint32_t>(2 * (e.size() + 1));
    }
    header[0] = at;
    std::vector<std::uint8_t> bytes(at);
    std::memcpy(bytes.data(), header.data(), 4 * header.size());
    std::size_t offset = 4 * header.size();
    for (const auto& e : entries) {
        std::memcpy(bytes.data() + offset, e.c_str(), 2 * (e.size() + 1));
        offset += 2 * (e.size() + 1);
    }
    return bytes;
}

std::vector<std::u16string> Entries(const CandidateView& view) {
    std::vector<std::u16string> texts;
    for (std::size_t i = 0; i < view.count; ++i) texts.emplace_back(view.entries[i].View());
    return texts;
}

std::vector<CandidateSlot> Slots(const CandidateLayout& layout) {
    return {layout.slots.begin(), layout.slots.begin() + static_cast<std::ptrdiff_t>(layout.count)};
}

}  // namespace

TEST(CandidatePages, BySizeGivesTheCurrentPageItsPositionAndTheSelectionOnIt) {
    EXPECT_EQ(PageBySize(20, 11, 9, 9), Page(9, 18, 11, 2, 3));
    EXPECT_EQ(PageBySize(20, 3, 18, 9), Page(18, 20, std::nullopt, 3, 3)) << "the selection is on another page";
    EXPECT_EQ(PageBySize(3, 0, 0, 0), Page(0, 3, 0, 1, 1)) << "size 0 leaves the page size to the box";
    EXPECT_EQ(PageBySize(30, 0, 0, 25), Page(0, 10, 0, 1, 3)) << "never more entries than keys to pick them";
    EXPECT_EQ(PageBySize(20, 5, 5, 9), Page(5, 14, 5, 2, 3)) << "a page off the grid has one page before it";
    EXPECT_EQ(PageBySize(0, 0, 0, 9), Page(0, 0, std::nullopt, 1, 1));
    EXPECT_EQ(PageBySize(4, 0, 0xFFFFFFFF, 9).first, 4u) << "a start past the list shows nothing of it";
}

TEST(CandidatePages, ByStartsFollowsTheIMEsOwnPagesAndKeepsInsideTheList) {
    const std::array<std::uint32_t, 3> starts{0, 5, 9};
    EXPECT_EQ(PageByStarts(12, 6, starts, 1), Page(5, 9, 6, 2, 3));
    EXPECT_EQ(PageByStarts(12, 6, starts, 2), Page(9, 12, std::nullopt, 3, 3));
    EXPECT_EQ(PageByStarts(12, 0, starts, 7), Page(9, 12, std::nullopt, 3, 3)) << "a current page past the last";
    const std::array<std::uint32_t, 2> wild{40, 2};
    EXPECT_EQ(PageByStarts(12, 0, wild, 0), Page(12, 12, std::nullopt, 1, 2)) << "starts out of order or range";
    const std::array<std::uint32_t, 1> one{0};
    EXPECT_EQ(PageByStarts(30, 0, one, 0).end, 10u);
    EXPECT_EQ(PageByStarts(4, 2, {}, 0), Page(0, 4, 2, 1, 1)) << "no pages given: the default size";
}

// A TSF IME need not give its page index or its current page: the page shown is
// then the one that holds the selection, never page 1 whatever the selection.
TEST(CandidatePages, ATsfListWithoutPageIndexShowsThePageOfTheSelection) {
    EXPECT_EQ(PageOfSelection(30, 12, {}, std::nullopt), Page(9, 18, 12, 2, 4));
    EXPECT_EQ(PageOfSelection(30, 27, {}, std::nullopt), Page(27, 30, 27, 4, 4));
    EXPECT_EQ(PageOfSelection(30, std::nullopt, {}, std::nullopt), Page(0, 9, std::nullopt, 1, 4))
        << "no selection: the first page, nothing marked";
    EXPECT_EQ(PageOfSelection(5, 40, {}, std::nullopt), Page(0, 5, std::nullopt, 1, 1)) << "a selection past the list";
    const std::array<std::uint32_t, 3> starts{0, 5, 9};
    EXPECT_EQ(PageOfSelection(12, 7, starts, std::nullopt), Page(5, 9, 7, 2, 3)) << "starts but no current page";
    EXPECT_EQ(PageOfSelection(12, 10, starts, std::nullopt), Page(9, 12, 10, 3, 3));
    EXPECT_EQ(PageOfSelection(12, 10, starts, 0), Page(0, 5, std::nullopt, 1, 3)) << "the IME's current page wins";
}

TEST(CandidateListBytes, ReadsThePageEntriesOfAnImmList) {
    const auto bytes = ImmList(10, 9, 9, {u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i", u"\u4F60", u"",
                                          u"\u597D\u554A"});
    const CandidateView view = ReadCandidateList(bytes);
    EXPECT_EQ(view.page, Page(9, 12, 10, 2, 2));
    EXPECT_EQ(Entries(view), (std::vector<std::u16string>{u"\u4F60", u"", u"\u597D\u554A"}));
}

TEST(CandidateListBytes, HostileListsStayInsideTheBytes) {
    EXPECT_EQ(ReadCandidateList(std::vector<std::uint8_t>(23, 0)).count, 0u) << "shorter than the header";

    auto bytes = ImmList(0, 0, 9, {u"ab", u"cd"});
    auto put = [&](std::size_t at, std::uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); };
    put(24, 0xFFFFFF00);  // the first offset far outside
    EXPECT_EQ(Entries(ReadCandidateList(bytes)), (std::vector<std::u16string>{u"", u"cd"}));

    put(8, 0x7FFFFFFF);  // a count no list of this size holds
    const CandidateView many = ReadCandidateList(bytes);
    EXPECT_EQ(many.page.end, (bytes.size() - 24) / 4) << "no more entries than the bytes hold offsets";

    // A string without its terminator ends with the bytes; the list's size says where they end.
    auto cut = ImmList(0, 0, 9, {u"xyz"});
    cut.resize(cut.size() - 2);
    put(0, 0);
    std::uint32_t size = static_cast<std::uint32_t>(cut.size());
    std::memcpy(cut.data(), &size, 4);
    EXPECT_EQ(Entries(ReadCandidateList(cut)), std::vector<std::u16string>{u"xyz"});
    size = 26;  // a size too small even for the one offset: the list holds nothing
    std::memcpy(cut.data(), &size, 4);
    EXPECT_EQ(ReadCandidateList(cut).count, 0u);
}

// The reader's offsets are 32-bit on both bitnesses, so these are the offsets that
// would wrap a check written as `at + 2 <= size` and read before the bytes (the
// sanitizer build and the 32-bit run of these tests catch such a read).
TEST(CandidateListBytes, OffsetsNearTheTopOfThe32BitRangeReadNothing) {
    auto bytes = ImmList(0, 0, 9, {u"ab", u"cd", u"ef", u"gh"});
    auto put = [&](std::size_t at, std::uint32_t value) { std::memcpy(bytes.data() + at, &value, 4); };
    put(24, 0xFFFFFFFF);
    put(28, 0xFFFFFFFE);
    put(32, 0xFFFFFFFD);
    put(36, 0xFFFFFFFC);
    EXPECT_EQ(Entries(ReadCandidateList(bytes)), (std::vector<std::u16string>{u"", u"", u"", u""}));

    // The header's own numbers at the top of the range: a page start and size that
    // would wrap a sum, a list size beyond the bytes, a selection past the list.
    auto header = ImmList(0, 0, 9, {u"ab", u"cd"});
    auto set = [&](std::size_t at, std::uint32_t value) { std::memcpy(header.data() + at, &value, 4); };
    set(0, 0xFFFFFFFF);
    set(12, 0xFFFFFFFF);
    set(16, 0xFFFFFFFE);
    set(20, 0xFFFFFFFF);
    const CandidateView view = ReadCandidateList(header);
    EXPECT_EQ(view.count, 0u) << "a page that starts past the list holds nothing";
    set(16, 0);
    EXPECT_EQ(Entries(ReadCandidateList(header)), (std::vector<std::u16string>{u"ab", u"cd"}));
}

// A TSF IME's count is any 32-bit value; on the 32-bit product that is the top of
// the size range, where a page's end computed as first + size would wrap.
TEST(CandidatePages, CountsAtTheTopOfTheSizeRangeKeepThePageInsideTheList) {
    constexpr std::size_t top = std::numeric_limits<std::size_t>::max();
    const CandidatePage last = PageBySize(top, top - 1, top - 3, 9);
    EXPECT_EQ(last.first, top - 3);
    EXPECT_EQ(last.end, top) << "the page ends with the list, not wrapped before its start";
    EXPECT_EQ(last.selected, top - 1);
    const std::array<std::uint32_t, 2> starts{0, 0xFFFFFFF0};
    const CandidatePage byStarts = PageByStarts(top, 0xFFFFFFF5, starts, 1);
    EXPECT_EQ(byStarts.first, 0xFFFFFFF0u);
    EXPECT_EQ(byStarts.end, std::size_t{0xFFFFFFF0} + kMaxCandidatesPerPage);
    EXPECT_EQ(byStarts.selected, 0xFFFFFFF5u);
    EXPECT_EQ(PageBySize(top, 0, 0, 9).count, top / 9 + 1);
}

TEST(CandidateLabels, NumberedByTheKeyThatPicksThemAndThePagePosition) {
    EXPECT_EQ(CandidateLabel(0, u"\u4F60").View(), u"1.\u4F60");
    EXPECT_EQ(CandidateLabel(9, u"x").View(), u"0.x");
    EXPECT_EQ(PageLabel(Page(0, 9, 0, 2, 13)).View(), u"2/13");
    EXPECT_EQ(PageLabel(Page(0, 3, 0, 1, 1)).View(), u"");
    // A long phrase is cut to what the box keeps, never inside a surrogate pair.
    std::u16string phrase(kMaxCandidateUnits - 1, u'x');
    phrase += u"\U0002A6A5";
    EXPECT_EQ(CandidateLabel(0, phrase).View(), u"1." + std::u16string(kMaxCandidateUnits - 1, u'x'));
    CandidateView view;
    for (int i = 0; i < 12; ++i) view.Add(u"y");
    EXPECT_EQ(view.count, kMaxCandidatesPerPage);
}

TEST(CandidateLayout, RowsFillTheWidthAndThePageLabelEndsTheLastRow) {
    const std::array<int, 5> widths{30, 40, 30, 100, 20};
    const CandidateLayout layout = LayOutCandidates(widths, 25, 120, 6);
    const std::vector<CandidateSlot> expected{{0, 0, 30}, {36, 0, 40}, {82, 0, 30}, {0, 1, 100}, {0, 2, 20}};
    EXPECT_EQ(Slots(layout), expected);
    EXPECT_EQ(layout.pageLabel, (CandidateSlot{95, 2, 25}));
    EXPECT_EQ(layout.rows, 3);

    // A page label that does not fit after the last entry takes a row of its own.
    const std::array<int, 1> wide{100};
    EXPECT_EQ(LayOutCandidates(wide, 25, 120, 6).pageLabel, (CandidateSlot{95, 1, 25}));
    // An entry wider than the box is cut to it; nothing goes past the right edge.
    const std::array<int, 2> huge{500, 10};
    const CandidateLayout cut = LayOutCandidates(huge, 0, 120, 6);
    EXPECT_EQ(cut.slots[0], (CandidateSlot{0, 0, 120}));
    EXPECT_EQ(cut.slots[1], (CandidateSlot{0, 1, 10}));
    EXPECT_EQ(cut.rows, 2);
    EXPECT_EQ(LayOutCandidates({}, 0, 120, 6).rows, 0);
}

TEST(CandidatePlace, AboveWhileThereIsRoomThenBelowThenWhatFitsNeverNowhere) {
    // 3 rows of 15 and an inset of 4 need 49 pixels.
    EXPECT_EQ(PlaceCandidateRows(3, 15, 4, 49, 0), (CandidatePlace{false, false, 3, 49}));
    EXPECT_EQ(PlaceCandidateRows(3, 15, 4, 48, 49), (CandidatePlace{true, false, 3, 49})) << "no room above";
    EXPECT_EQ(PlaceCandidateRows(3, 15, 4, 0, 20), (CandidatePlace{true, false, 1, 19}))
        << "a box touching the game's top: the rows that fit below";
    EXPECT_EQ(PlaceCandidateRows(3, 15, 4, 40, 20), (CandidatePlace{false, false, 2, 34})) << "the side with more room";
    EXPECT_EQ(PlaceCandidateRows(3, 15, 4, 10, -5), (CandidatePlace{false, true, 1, 0}))
        << "no room for a row anywhere outside: one row inside the box";
    EXPECT_EQ(PlaceCandidateRows(0, 15, 4, 100, 100), CandidatePlace{});
    constexpr int big = std::numeric_limits<int>::max();
    EXPECT_EQ(PlaceCandidateRows(big, big, big, big, 0), (CandidatePlace{false, false, 16, 17 * 0x10000}))
        << "sizes that would overflow a sum in int are bounded first";
}

TEST(CandidatePlace, TheSelectedRowStaysInViewWhenRowsAreShort) {
    const std::array<int, 6> widths{50, 50, 50, 50, 50, 50};
    const CandidateLayout layout = LayOutCandidates(widths, 20, 130, 4);  // two entries a row, the label on the third
    ASSERT_EQ(layout.rows, 3);
    EXPECT_EQ(FirstShownRow(layout, 0, 1), 0);
    EXPECT_EQ(FirstShownRow(layout, 3, 1), 1);
    EXPECT_EQ(FirstShownRow(layout, 5, 1), 2);
    EXPECT_EQ(FirstShownRow(layout, 5, 2), 1);
    EXPECT_EQ(FirstShownRow(layout, SIZE_MAX, 1), 0) << "no selection: from the first row";
    EXPECT_EQ(FirstShownRow(layout, 5, 3), 0) << "every row fits";
}
