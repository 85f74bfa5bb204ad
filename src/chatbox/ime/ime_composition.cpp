#include "chatbox/ime/ime_composition.h"

#include <algorithm>

#include "common/utf8.h"

namespace {

// ATTR_TARGET_CONVERTED (1) and ATTR_TARGET_NOTCONVERTED (3) mark the clause being
// converted, ATTR_CONVERTED (2) and ATTR_FIXEDCONVERTED (5) converted text; input
// (0), input errors (4) and anything else count as typed.
ClauseLook LookOf(std::uint8_t attribute) noexcept {
    if (attribute == 1 || attribute == 3) return ClauseLook::target;
    return attribute == 2 || attribute == 5 ? ClauseLook::converted : ClauseLook::input;
}

}  // namespace

std::size_t CompositionRuns(std::size_t length, std::span<const std::uint8_t> attributes,
                            std::span<const std::uint32_t> clauses, std::span<CompositionRun> runs) noexcept {
    std::size_t count = 0;
    std::size_t clause = 0;  // the next clause offset to look at
    auto lookAt = [&](std::size_t unit) { return LookOf(unit < attributes.size() ? attributes[unit] : 0); };
    for (std::size_t start = 0; start < length && count < runs.size();) {
        // The clause this run lies in ends at the first offset past its start.
        while (clause < clauses.size() && clauses[clause] <= start) ++clause;
        const std::size_t clauseEnd = clause < clauses.size() ? std::min<std::size_t>(clauses[clause], length) : length;
        const ClauseLook look = lookAt(start);
        std::size_t end = start + 1;
        while (end < clauseEnd && lookAt(end) == look) ++end;
        runs[count++] = CompositionRun{start, end, look, end == clauseEnd};
        start = end;
    }
    return count;
}

std::size_t BytesIfCommitted(std::u16string_view text, std::size_t selStart, std::size_t selEnd,
                             std::u16string_view composition) noexcept {
    selEnd = std::min(selEnd, text.size());
    selStart = std::min(selStart, selEnd);
    // Views made directly: both bounds are inside the text already.
    return Utf8Length({text.data(), selStart}) + Utf8Length(composition) +
           Utf8Length({text.data() + selEnd, text.size() - selEnd});
}
