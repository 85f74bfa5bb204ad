// An IME's candidate list over any bytes, as ImmGetCandidateListW might copy it
// out, and a TSF IME's page starts over any numbers: the page shown lies inside
// the list, every entry shown is the IME's string at its offset (cut at its
// terminator, the list's end or the box's limit), and the rows laid out for it
// stay inside the box's width.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "chatbox/ime/ime_candidates.h"
#include "fuzz_check.h"

namespace {

std::uint32_t U32(const std::uint8_t* bytes, std::size_t size, std::size_t at) {
    std::uint32_t value = 0;
    if (at <= size && size - at >= 4) std::memcpy(&value, bytes + at, 4);
    return value;
}

void CheckPage(const CandidatePage& page, std::size_t total) {
    FUZZ_CHECK(page.first <= page.end);
    FUZZ_CHECK(page.end <= total || page.first == page.end);
    FUZZ_CHECK(page.end - page.first <= kMaxCandidatesPerPage);
    FUZZ_CHECK(page.number >= 1 && page.number <= page.count);
    if (page.selected) FUZZ_CHECK(*page.selected >= page.first && *page.selected < page.end);
}

void CheckList(const std::uint8_t* bytes, std::size_t size) {
    const CandidateView view = ReadCandidateList(std::span(bytes, size));
    if (size < 24) {
        FUZZ_CHECK(view.count == 0);
        return;
    }
    // The bytes the list may use: its own size, never past what was given.
    const std::size_t used = std::clamp<std::size_t>(U32(bytes, size, 0), 24, size);
    const std::size_t total = std::min<std::size_t>(U32(bytes, used, 8), (used - 24) / 4);
    CheckPage(view.page, total);
    FUZZ_CHECK(view.count == view.page.end - view.page.first);
    for (std::size_t i = 0; i < view.count; ++i) {
        const std::u16string_view text = view.entries[i].View();
        FUZZ_CHECK(text.size() <= kMaxCandidateUnits);
        const std::size_t at = U32(bytes, used, 24 + 4 * (view.page.first + i));
        if (text.empty()) continue;
        FUZZ_CHECK(at <= used && (used - at) / 2 >= text.size());
        FUZZ_CHECK(std::memcmp(bytes + at, text.data(), 2 * text.size()) == 0);
        FUZZ_CHECK(text.find(u'\0') == std::u16string_view::npos);
        // Cut short only where the string, the list or the box's limit ends, or
        // before a pair's first half that would not be whole.
        const std::size_t next = at + 2 * text.size();
        if (text.size() < kMaxCandidateUnits && used - next >= 2) {
            char16_t unit = 0;
            std::memcpy(&unit, bytes + next, 2);
            FUZZ_CHECK(unit == 0 || (unit >= 0xD800 && unit <= 0xDBFF));
        }
    }
}

void CheckStarts(FuzzedDataProvider& data) {
    const std::size_t total = data.ConsumeIntegral<std::uint32_t>();
    const std::size_t selection = data.ConsumeIntegral<std::uint32_t>();
    const std::size_t current = data.ConsumeIntegral<std::uint32_t>();
    std::vector<std::uint32_t> starts(data.ConsumeIntegralInRange<std::size_t>(0, 16));
    for (auto& start : starts) start = data.ConsumeIntegral<std::uint32_t>();
    CheckPage(PageByStarts(total, selection, starts, current), total);
    CheckPage(PageBySize(total, selection, data.ConsumeIntegral<std::uint32_t>(),
                         data.ConsumeIntegral<std::uint32_t>()),
              total);
}

void CheckLayout(FuzzedDataProvider& data) {
    std::array<int, kMaxCandidatesPerPage + 2> widths{};
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, widths.size());
    for (std::size_t i = 0; i < count; ++i) widths[i] = data.ConsumeIntegralInRange<int>(-10, 5000);
    const int label = data.ConsumeIntegralInRange<int>(-10, 5000);
    const int width = data.ConsumeIntegralInRange<int>(-10, 5000);
    const int gap = data.ConsumeIntegralInRange<int>(0, 20);
    const CandidateLayout layout = LayOutCandidates(std::span(widths).first(count), label, width, gap);
    FUZZ_CHECK(layout.count == std::min(count, kMaxCandidatesPerPage));
    for (std::size_t i = 0; i < layout.count; ++i) {
        const CandidateSlot& slot = layout.slots[i];
        FUZZ_CHECK(slot.x >= 0 && slot.width >= 0 && slot.x + slot.width <= std::max(width, 1));
        FUZZ_CHECK(slot.row >= 0 && slot.row < layout.rows);
    }
    if (layout.pageLabel.width > 0) FUZZ_CHECK(layout.pageLabel.row < layout.rows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    // The first byte picks what the rest feeds: most inputs are lists.
    if (size > 0 && bytes[0] == 'P') {
        FuzzedDataProvider data(bytes + 1, size - 1);
        CheckStarts(data);
        return 0;
    }
    if (size > 0 && bytes[0] == 'L') {
        FuzzedDataProvider data(bytes + 1, size - 1);
        CheckLayout(data);
        return 0;
    }
    CheckList(bytes, size);
    return 0;
}
