#include "chatbox/composition.h"

#include <algorithm>

#include "common/utf8.h"

namespace {

ClauseLook LookOf(std::uint8_t attribute) noexcept {
    switch (attribute) {
    case 1:  // ATTR_TARGET_CONVERTED
    case 3:  // ATTR_TARGET_NOTCONVERTED
        return ClauseLook::target;
    case 2:  // ATTR_CONVERTED
    case 5:  // ATTR_FIXEDCONVERTED
        return ClauseLook::converted;
    default:  // ATTR_INPUT, ATTR_INPUT_ERROR, anything else
        return ClauseLook::input;
    }
}

}  // namespace

std::vector<CompositionRun> CompositionRuns(std::size_t length, std::span<const std::uint8_t> attributes,
                                            std::span<const std::uint32_t> clauses) {
    std::vector<CompositionRun> runs;
    std::size_t clause = 0;  // the next clause offset to look at
    auto lookAt = [&](std::size_t unit) { return LookOf(unit < attributes.size() ? attributes[unit] : 0); };
    for (std::size_t start = 0; start < length;) {
        // The clause this run lies in ends at the first offset past its start.
        while (clause < clauses.size() && clauses[clause] <= start) ++clause;
        const std::size_t clauseEnd = clause < clauses.size() ? std::min<std::size_t>(clauses[clause], length) : length;
        const ClauseLook look = lookAt(start);
        std::size_t end = start + 1;
        while (end < clauseEnd && lookAt(end) == look) ++end;
        runs.push_back(CompositionRun{start, end, look, end == clauseEnd});
        start = end;
    }
    return runs;
}

std::size_t BytesIfCommitted(std::u16string_view text, std::size_t selStart, std::size_t selEnd,
                             std::u16string_view composition) noexcept {
    selEnd = std::min(selEnd, text.size());
    selStart = std::min(selStart, selEnd);
    return Utf8Length(text.substr(0, selStart)) + Utf8Length(composition) + Utf8Length(text.substr(selEnd));
}
