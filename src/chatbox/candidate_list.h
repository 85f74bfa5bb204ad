// What the chat box shows of an IME's candidate list: the current page, its
// numbered entries, the selected one and the page position, laid out in rows
// that fit the box's width. The IME's numbers are not trusted: any count, page
// or offset it gives yields a page inside the list, or nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The digits 1 to 9 and 0 pick an entry, so a page never shows more.
inline constexpr std::size_t kMaxCandidatesPerPage = 10;
// Entries per page when an IME leaves the page size to the window.
inline constexpr std::size_t kDefaultCandidatePageSize = 9;

struct CandidatePage {
    std::size_t first = 0;                // the page's first entry, an index into the whole list
    std::size_t end = 0;                  // one past its last
    std::optional<std::size_t> selected;  // the selected entry, when it is on this page
    std::size_t number = 1;               // counted from 1
    std::size_t count = 1;
    friend bool operator==(const CandidatePage&, const CandidatePage&) = default;
};

// A list that pages by a fixed size from `pageStart` (0 as the size: the default).
CandidatePage PageBySize(std::size_t total, std::size_t selection, std::size_t pageStart,
                         std::size_t pageSize) noexcept;
// A list whose pages start where `starts` says; `current` is the page shown.
CandidatePage PageByStarts(std::size_t total, std::size_t selection, std::span<const std::uint32_t> starts,
                           std::size_t current) noexcept;

// The page as the box shows it: its entries' texts in order, UTF-16.
struct CandidateView {
    CandidatePage page;
    std::vector<std::u16string> entries;
    friend bool operator==(const CandidateView&, const CandidateView&) = default;
};

// An IMM candidate list as the IME copies it out: a header of 32-bit values
// (size, style, count, selection, page start, page size), one offset per entry
// from the list's start, then the NUL-terminated UTF-16 strings. Nothing when the
// bytes hold no list; an entry whose offset points outside them is empty, and a
// string that runs to the end of the bytes ends there.
std::optional<CandidateView> ReadCandidateList(std::span<const std::uint8_t> bytes);

// "1.你好": the key that picks the entry at `position` on its page (the tenth is
// 0) and the entry's text.
std::u16string CandidateLabel(std::size_t position, std::u16string_view text);
// "2/5"; empty for a single page.
std::u16string PageLabel(const CandidatePage& page);

struct CandidateSlot {
    int x = 0;  // from the start of the row
    int row = 0;
    int width = 0;
    friend bool operator==(const CandidateSlot&, const CandidateSlot&) = default;
};

struct CandidateLayout {
    std::vector<CandidateSlot> slots;  // one per entry, in order
    CandidateSlot pageLabel;           // width 0: none
    int rows = 0;
};

// Entries of the given widths side by side, `gap` apart, a new row where the
// next one would pass `width`; an entry wider than a row is cut to the row. The
// page label goes to the right end of the last row, or of a row of its own.
CandidateLayout LayOutCandidates(std::span<const int> widths, int pageLabelWidth, int width, int gap);
