// What the chat box shows of an IME's candidate list: the current page, its
// numbered entries, the selected one and the page position, laid out in rows
// that fit the box's width. The IME's numbers are not trusted: any count, page
// or offset it gives yields a page inside the list, or nothing. Everything here
// has a fixed size: the module is mapped into every process, and each library
// instantiation it links costs all of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The digits 1 to 9 and 0 pick an entry, so a page never shows more.
inline constexpr std::size_t kMaxCandidatesPerPage = 10;
// Entries per page when an IME leaves the page size to the window.
inline constexpr std::size_t kDefaultCandidatePageSize = 9;
// UTF-16 units of one entry that the box keeps; a longer phrase would not fit
// the box's width anyway.
inline constexpr std::size_t kMaxCandidateUnits = 24;

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

// A TSF IME's page: the current page when the IME gives its page starts and its
// current page; otherwise the page that holds the selection, by the IME's page
// starts or, without them, by the default page size; without a selection the first.
CandidatePage PageOfSelection(std::size_t total, std::optional<std::size_t> selection,
                              std::span<const std::uint32_t> starts, std::optional<std::size_t> current) noexcept;

// A short UTF-16 text in place: an entry, or a label made of one.
template <std::size_t Capacity>
struct ShortText {
    std::array<char16_t, Capacity> units{};
    std::size_t length = 0;
    std::u16string_view View() const noexcept { return {units.data(), length}; }
    // Appends what fits; never half a surrogate pair.
    void Append(std::u16string_view text) noexcept {
        for (char16_t unit : text) {
            const bool pairStart = unit >= 0xD800 && unit <= 0xDBFF;
            if (length + (pairStart ? 2 : 1) > Capacity) break;
            units[length++] = unit;
        }
        if (length > 0 && units[length - 1] >= 0xD800 && units[length - 1] <= 0xDBFF) --length;
    }
    friend bool operator==(const ShortText&, const ShortText&) = default;
};

// The page as the box shows it: its entries' texts in order. No entries: no list.
struct CandidateView {
    CandidatePage page;
    std::array<ShortText<kMaxCandidateUnits>, kMaxCandidatesPerPage> entries{};
    std::size_t count = 0;  // entries of the page held, at most the page's
    void Add(std::u16string_view text) noexcept {
        if (count < entries.size()) entries[count++].Append(text);
    }
    friend bool operator==(const CandidateView&, const CandidateView&) = default;
};

// An IMM candidate list as the IME copies it out: a header of 32-bit values
// (size, style, count, selection, page start, page size), one offset per entry
// from the list's start, then the NUL-terminated UTF-16 strings. Nothing when the
// bytes hold no list (no entries); an entry whose offset points outside them is
// empty, and a string that runs to the end of the bytes ends there.
CandidateView ReadCandidateList(std::span<const std::uint8_t> bytes) noexcept;

using CandidateLabelText = ShortText<kMaxCandidateUnits + 2>;
// "1.你好": the key that picks the entry at `position` on its page (the tenth is
// 0) and the entry's text.
CandidateLabelText CandidateLabel(std::size_t position, std::u16string_view text) noexcept;
// "2/5"; empty for a single page.
CandidateLabelText PageLabel(const CandidatePage& page) noexcept;

struct CandidateSlot {
    int x = 0;  // from the start of the row
    int row = 0;
    int width = 0;
    friend bool operator==(const CandidateSlot&, const CandidateSlot&) = default;
};

struct CandidateLayout {
    std::array<CandidateSlot, kMaxCandidatesPerPage> slots{};  // one per entry, in order
    std::size_t count = 0;
    CandidateSlot pageLabel;  // width 0: none
    int rows = 0;
};

// Entries of the given widths side by side, `gap` apart, a new row where the
// next one would pass `width`; an entry wider than a row is cut to the row. The
// page label goes to the right end of the last row, or of a row of its own.
CandidateLayout LayOutCandidates(std::span<const int> widths, int pageLabelWidth, int width, int gap) noexcept;

// Where the candidate rows go: above the box while the game's client area has
// room for all of them there, else below it, else on the side with more room with
// as many rows as fit; with no room for a row outside the box, one row goes
// inside it, over the prompt line. Never nowhere.
struct CandidatePlace {
    bool below = false;
    bool inside = false;
    int rows = 0;    // rows shown, at most the layout's
    int height = 0;  // how far the box grows for them
    friend bool operator==(const CandidatePlace&, const CandidatePlace&) = default;
};
CandidatePlace PlaceCandidateRows(int rows, int rowHeight, int inset, int roomAbove, int roomBelow) noexcept;

// The first of `shown` rows when fewer than the layout's fit: the row of the
// selected entry (its slot; one past the layout's: none) stays in view.
int FirstShownRow(const CandidateLayout& layout, std::size_t selectedSlot, int shown) noexcept;
