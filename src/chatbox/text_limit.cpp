#include "chatbox/text_limit.h"

#include "chatbox/message_parts.h"
#include "common/utf8.h"

namespace {

constexpr bool IsHighSurrogate(char16_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) noexcept { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The start of the character that ends just before `end`.
std::size_t PreviousCharacter(std::u16string_view text, std::size_t end) noexcept {
    if (end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2])) return end - 2;
    return end - 1;
}

// A caret between the two units of a pair stands after the pair, which was then
// the last thing inserted.
std::size_t CharacterBoundary(std::u16string_view text, std::size_t at) noexcept {
    if (at > 0 && at < text.size() && IsLowSurrogate(text[at]) && IsHighSurrogate(text[at - 1])) return at + 1;
    return at;
}

}  // namespace

std::optional<UnitRange> ExcessOfText(std::u16string_view text, std::size_t caret, std::size_t maxParts,
                                      std::size_t partBytes) {
    auto fits = [&](std::size_t start, std::size_t end) {
        std::string rest = Utf8FromUtf16({text.data(), start});
        rest += Utf8FromUtf16({text.data() + end, text.size() - end});
        return CountParts(rest, partBytes) <= maxParts;
    };
    // No text of more bytes than the parts hold fits: those go by their count
    // first, so that a long paste costs one pass, not one conversion per character.
    const std::size_t most = maxParts * partBytes;
    std::size_t bytes = Utf8Length(text);
    if (bytes <= most && fits(0, 0)) return std::nullopt;
    const std::size_t end = CharacterBoundary(text, caret < text.size() ? caret : text.size());
    std::size_t start = end;
    while (start > 0) {
        const std::size_t previous = PreviousCharacter(text, start);
        bytes -= Utf8Length({text.data() + previous, start - previous});
        start = previous;
        if (bytes <= most && fits(start, end)) return UnitRange{start, end};
    }
    // Even without everything before the caret it is too long: keep the longest
    // beginning that fits, counted back from bytes into units.
    const std::string whole = Utf8FromUtf16(text);
    const std::size_t keepBytes = MessagePrefixLength(whole, maxParts, partBytes);
    std::size_t keep = 0;
    for (std::size_t bytes = 0; keep < text.size();) {
        std::size_t next = keep + 1;
        if (next < text.size() && IsHighSurrogate(text[keep]) && IsLowSurrogate(text[next])) ++next;
        bytes += Utf8Length(text.substr(keep, next - keep));
        if (bytes > keepBytes) break;
        keep = next;
    }
    return UnitRange{keep, text.size()};
}

std::string Utf8IfCommitted(std::u16string_view text, std::size_t selStart, std::size_t selEnd,
                            std::u16string_view composition) {
    if (composition.empty()) selStart = selEnd = text.size();
    selEnd = selEnd < text.size() ? selEnd : text.size();
    selStart = selStart < selEnd ? selStart : selEnd;
    std::string committed = Utf8FromUtf16({text.data(), selStart});
    committed += Utf8FromUtf16(composition);
    committed += Utf8FromUtf16({text.data() + selEnd, text.size() - selEnd});
    return committed;
}
