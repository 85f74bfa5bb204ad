#include "chatbox/candidate_list.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t PagesFor(std::size_t entries, std::size_t pageSize) noexcept {
    return (entries + pageSize - 1) / pageSize;
}

std::u16string Digits(std::size_t value) {
    std::u16string text;
    do {
        text.insert(text.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return text;
}

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) noexcept {
    std::uint32_t value = 0;
    if (at + 4 <= bytes.size()) std::memcpy(&value, bytes.data() + at, 4);  // little-endian, as Windows lays it out
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
    page.end = std::min(total, page.first + pageSize);
    // A page that does not start on a multiple of the size counts as one more page before it.
    page.number = PagesFor(page.first, pageSize) + 1;
    page.count = page.number - 1 + std::max<std::size_t>(PagesFor(total - page.first, pageSize), 1);
    return Finish(page, selection);
}

CandidatePage PageByStarts(std::size_t total, std::size_t selection, std::span<const std::uint32_t> starts,
                           std::size_t current) noexcept {
    CandidatePage page;
    if (starts.empty()) return PageBySize(total, selection, 0, 0);
    current = std::min(current, starts.size() - 1);
    page.first = std::min<std::size_t>(starts[current], total);
    const std::size_t next = current + 1 < starts.size() ? starts[current + 1] : total;
    page.end = std::clamp<std::size_t>(next, page.first, std::min(total, page.first + kMaxCandidatesPerPage));
    page.number = current + 1;
    page.count = starts.size();
    return Finish(page, selection);
}

std::optional<CandidateView> ReadCandidateList(std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kHeader = 24;
    if (bytes.size() < kHeader) return std::nullopt;
    // The list's own size never reaches past what was copied.
    bytes = bytes.first(std::clamp<std::size_t>(ReadU32(bytes, 0), kHeader, bytes.size()));
    // Only as many offsets as the bytes can hold.
    const std::size_t count = std::min<std::size_t>(ReadU32(bytes, 8), (bytes.size() - kHeader) / 4);
    CandidateView view;
    view.page = PageBySize(count, ReadU32(bytes, 12), ReadU32(bytes, 16), ReadU32(bytes, 20));
    for (std::size_t i = view.page.first; i < view.page.end; ++i) {
        std::u16string& text = view.entries.emplace_back();
        for (std::size_t at = ReadU32(bytes, kHeader + 4 * i); at + 2 <= bytes.size(); at += 2) {
            char16_t unit = 0;
            std::memcpy(&unit, bytes.data() + at, 2);
            if (unit == 0) break;
            text.push_back(unit);
        }
    }
    return view;
}

std::u16string CandidateLabel(std::size_t position, std::u16string_view text) {
    std::u16string label{static_cast<char16_t>(u'0' + (position + 1) % 10), u'.'};
    label.append(text);
    return label;
}

std::u16string PageLabel(const CandidatePage& page) {
    if (page.count <= 1) return {};
    return Digits(page.number) + u'/' + Digits(page.count);
}

CandidateLayout LayOutCandidates(std::span<const int> widths, int pageLabelWidth, int width, int gap) {
    CandidateLayout layout;
    width = std::max(width, 1);
    int x = 0;
    int row = 0;
    for (int w : widths) {
        w = std::clamp(w, 0, width);
        if (x > 0 && x + w > width) {
            ++row;
            x = 0;
        }
        layout.slots.push_back(CandidateSlot{x, row, w});
        x += w + gap;
    }
    if (pageLabelWidth > 0) {
        pageLabelWidth = std::min(pageLabelWidth, width);
        if (x > 0 && x + pageLabelWidth > width) ++row;
        layout.pageLabel = CandidateSlot{width - pageLabelWidth, row, pageLabelWidth};
    }
    layout.rows = layout.slots.empty() && pageLabelWidth <= 0 ? 0 : row + 1;
    return layout;
}
