#include "chatbox/text_limit.h"

#include <algorithm>
#include <charconv>

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

std::optional<UnitRange> ExcessOfText(std::u16string_view text, std::size_t caret, std::size_t limit) noexcept {
    std::size_t bytes = Utf8Length(text);
    if (bytes <= limit) return std::nullopt;
    const std::size_t end = CharacterBoundary(text, caret < text.size() ? caret : text.size());
    std::size_t start = end;
    while (start > 0 && bytes > limit) {
        const std::size_t previous = PreviousCharacter(text, start);
        bytes -= Utf8Length(text.substr(previous, start - previous));
        start = previous;
    }
    if (bytes <= limit) return UnitRange{start, end};
    // Even without everything before the caret it is too long: keep the longest
    // beginning that fits.
    std::size_t keep = 0;
    for (std::size_t used = 0; keep < text.size();) {
        std::size_t next = keep + 1;
        if (next < text.size() && IsHighSurrogate(text[keep]) && IsLowSurrogate(text[next])) ++next;
        used += Utf8Length(text.substr(keep, next - keep));
        if (used > limit) break;
        keep = next;
    }
    return UnitRange{keep, text.size()};
}

std::optional<std::size_t> RoomToShow(std::size_t usedBytes, std::size_t limit) noexcept {
    const std::size_t room = usedBytes < limit ? limit - usedBytes : 0;
    if (room > kShowRoomFrom) return std::nullopt;
    return room;
}

std::u16string RoomLeftText(std::u16string_view pattern, std::size_t room) {
    // Digits without printf: the module links no formatted-output machinery.
    char digits[24] = {};
    const char* end = std::to_chars(digits, digits + sizeof digits, room).ptr;
    const std::size_t mark = std::min(pattern.find(u"%1"), pattern.size());
    std::u16string text(pattern.data(), mark);
    if (mark == pattern.size()) return text;
    // Built by appending one unit at a time: the string's replace would bring a
    // large member into the module for a label of a few characters (and substr
    // its error text).
    for (const char* digit = digits; digit != end; ++digit) text.push_back(static_cast<char16_t>(*digit));
    for (std::size_t i = mark + 2; i < pattern.size(); ++i) text.push_back(pattern[i]);
    return text;
}
