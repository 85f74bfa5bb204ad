#include "chatbox/ime/ime_candidates.h"

#include <algorithm>
#include <cstring>

namespace {

// Written without sums that could wrap: a TSF IME's count may be any 32-bit
// value, the whole range of a 32-bit size.
std::size_t PagesFor(std::size_t entries, std::size_t pageSize) noexcept {
    return entries / pageSize + (entries % pageSize != 0 ? 1 : 0);
}

// One past the last of up to `length` entries from `first`, inside `total`.
std::size_t EndOf(std::size_t first, std::size_t length, std::size_t total) noexcept {
    return total - first > length ? first + length : total;
}

void AppendNumber(CandidateLabelText& text, std::size_t value) noexcept {
    char16_t digits[20];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) text.Append(std::u16string_view(&digits[--n], 1));
}

// Offsets and lengths inside a list are 32-bit, as Windows stores them, on both
// bitnesses: every check below is written so that no sum can wrap, which a check
// of the form `at + n <= size` does for an offset near 4 GB.
using ListOffset = std::uint32_t;

// Whether `length` bytes from `at` lie inside `size` bytes.
constexpr bool Holds(ListOffset size, ListOffset at, ListOffset length) noexcept {
    return at <= size && size - at >= length;
}

ListOffset ReadU32(const std::uint8_t* bytes, ListOffset size, ListOffset at) noexcept {
    std::uint32_t value = 0;
    if (Holds(size, at, 4)) std::memcpy(&value, bytes + at, 4);  // little-endian, as Windows lays it out
    return value;
}

CandidatePage Finish(CandidatePage page, std::size_t selection) noexcept {
    if (selection >= page.first && selection < page.end) page.selected = selection;
    page.count = std::max(page.count, page.number);
    return page;
}

}  // namespace

CandidatePage PageBySize(std::size_t total, std::size_t selection, std::size_t pageStart,
                         std::size_t pageSize) noexcept {
    if (pageSize == 0) pageSize = kDefaultCandidatePageSize;
    pageSize = std::min(pageSize, kMaxCandidatesPerPage);
    CandidatePage page;
    page.first = std::min(pageStart, total);
    page.end = EndOf(page.first, pageSize, total);
    // A page that does not start on a multiple of the size counts as one more page before it.
    page.number = PagesFor(page.first, pageSize) + 1;
    page.count = page.number - 1 + std::max<std::size_t>(PagesFor(total - page.first, pageSize), 1);
    return Finish(page, selection);
}

CandidatePage PageByStarts(std::size_t total, std::size_t selection, std::span<const std::uint32_t> starts,
                           std::size_t current) noexcept {
    if (starts.empty()) return PageBySize(total, selection, 0, 0);
    CandidatePage page;
    current = std::min(current, starts.size() - 1);
    page.first = std::min<std::size_t>(starts[current], total);
    const std::size_t next = current + 1 < starts.size() ? starts[current + 1] : total;
    page.end = std::clamp<std::size_t>(next, page.first, EndOf(page.first, kMaxCandidatesPerPage, total));
    page.number = current + 1;
    page.count = starts.size();
    return Finish(page, selection);
}

CandidatePage PageOfSelection(std::size_t total, std::optional<std::size_t> selection,
                              std::span<const std::uint32_t> starts, std::optional<std::size_t> current) noexcept {
    // No entry has this index: nothing is marked selected.
    const std::size_t marked = selection.value_or(SIZE_MAX);
    if (!starts.empty()) {
        std::size_t page = 0;
        if (current) {
            page = *current;
        } else if (selection) {
            while (page + 1 < starts.size() && starts[page + 1] <= *selection) ++page;
        }
        return PageByStarts(total, marked, starts, page);
    }
    const std::size_t at = selection && *selection < total ? *selection : 0;
    return PageBySize(total, marked, at - at % kDefaultCandidatePageSize, kDefaultCandidatePageSize);
}

CandidateView ReadCandidateList(std::span<const std::uint8_t> bytes) noexcept {
    constexpr ListOffset kHeader = 24;
    // Beyond 4 GB nothing is a list; the edit asks for far less anyway.
    ListOffset size = static_cast<ListOffset>(std::min<std::size_t>(bytes.size(), UINT32_MAX));
    if (size < kHeader) return {};
    const std::uint8_t* data = bytes.data();
    // The list's own size never reaches past what was copied.
    size = std::clamp(ReadU32(data, size, 0), kHeader, size);
    // Only as many offsets as the bytes can hold.
    const ListOffset count = std::min(ReadU32(data, size, 8), (size - kHeader) / 4);
    CandidateView view;
    view.page = PageBySize(count, ReadU32(data, size, 12), ReadU32(data, size, 16), ReadU32(data, size, 20));
    for (std::size_t i = view.page.first; i < view.page.end; ++i) {
        ShortText<kMaxCandidateUnits> text;
        // i < count, so the offset's own place lies inside the header's table.
        for (ListOffset at = ReadU32(data, size, kHeader + 4 * static_cast<ListOffset>(i)); Holds(size, at, 2);
             at += 2) {
            char16_t unit = 0;
            std::memcpy(&unit, data + at, 2);
            if (unit == 0 || text.length == kMaxCandidateUnits) break;
            text.units[text.length++] = unit;
        }
        view.Add(text.View());
    }
    return view;
}

CandidateLabelText CandidateLabel(std::size_t position, std::u16string_view text) noexcept {
    CandidateLabelText label;
    AppendNumber(label, (position + 1) % 10);
    label.Append(u".");
    label.Append(text);
    return label;
}

CandidateLabelText PageLabel(const CandidatePage& page) noexcept {
    CandidateLabelText label;
    if (page.count <= 1) return label;
    AppendNumber(label, page.number);
    label.Append(u"/");
    AppendNumber(label, page.count);
    return label;
}

CandidateLayout LayOutCandidates(std::span<const int> widths, int pageLabelWidth, int width, int gap) noexcept {
    CandidateLayout layout;
    width = std::max(width, 1);
    int x = 0;
    int row = 0;
    for (int w : widths.first(std::min(widths.size(), layout.slots.size()))) {
        w = std::clamp(w, 0, width);
        if (x > 0 && x + w > width) {
            ++row;
            x = 0;
        }
        layout.slots[layout.count++] = CandidateSlot{x, row, w};
        x += w + gap;
    }
    if (pageLabelWidth > 0) {
        pageLabelWidth = std::min(pageLabelWidth, width);
        if (x > 0 && x + pageLabelWidth > width) ++row;
        layout.pageLabel = CandidateSlot{width - pageLabelWidth, row, pageLabelWidth};
    }
    layout.rows = layout.count == 0 && pageLabelWidth <= 0 ? 0 : row + 1;
    return layout;
}

CandidatePlace PlaceCandidateRows(int rows, int rowHeight, int inset, int roomAbove, int roomBelow) noexcept {
    if (rows <= 0) return {};
    // A page has at most 11 rows (ten entries and the page label) of a font's
    // height: bounded so, no product below overflows.
    rows = std::min(rows, 16);
    rowHeight = std::clamp(rowHeight, 1, 0x10000);
    inset = std::clamp(inset, 0, 0x10000);
    const int needed = rows * rowHeight + inset;
    if (needed <= roomAbove) return {false, false, rows, needed};
    if (needed <= roomBelow) return {true, false, rows, needed};
    const bool below = roomBelow > roomAbove;
    const int fit = std::min(rows, std::max((below ? roomBelow : roomAbove) - inset, 0) / rowHeight);
    if (fit == 0) return {false, true, 1, 0};
    return {below, false, fit, fit * rowHeight + inset};
}

int FirstShownRow(const CandidateLayout& layout, std::size_t selectedSlot, int shown) noexcept {
    if (shown <= 0 || shown >= layout.rows) return 0;
    const int selectedRow = selectedSlot < layout.count ? layout.slots[selectedSlot].row : 0;
    return std::min(selectedRow, layout.rows - shown);
}
