#include "chatbox/message_parts.h"

#include "common/utf8.h"

namespace {

// A character after which a line may end: a blank, ASCII punctuation, and the
// punctuation of CJK text (the ideographic comma and full stop, the full-width
// forms, the general punctuation block with its dashes and ellipsis).
bool IsBreakAfter(char32_t c) noexcept {
    if (c == ' ' || c == '\t') return true;
    // ASCII punctuation, but not the opening brackets, which belong to what follows.
    if (c == '(' || c == '[' || c == '{' || c == '<') return false;
    if ((c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') || (c >= '{' && c <= '~'))
        return true;
    if (c >= 0x2010 && c <= 0x2027) return true;
    if (c >= 0x3000 && c <= 0x303F) return true;
    return (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) || (c >= 0xFF3B && c <= 0xFF40) ||
           (c >= 0xFF5B && c <= 0xFF65);
}

}  // namespace

std::size_t PartEnd(std::string_view text, std::size_t start, std::size_t partBytes) noexcept {
    if (start >= text.size()) return text.size();
    if (text.size() - start <= partBytes) return text.size();
    const std::size_t hard = start + Utf8PrefixLength({text.data() + start, text.size() - start}, partBytes);
    if (hard == start) {
        // A part too small for one character still moves on by that character.
        std::size_t length = 1;
        DecodeUtf8(text, start, length);
        return start + length;
    }
    const std::size_t quarterFrom = start + partBytes - partBytes / 4;
    std::size_t best = hard;
    for (std::size_t i = start, length = 1; i < hard; i += length) {
        const char32_t c = DecodeUtf8(text, i, length);
        const std::size_t after = i + length;
        if (after >= quarterFrom && after <= hard && IsBreakAfter(c)) best = after;
    }
    return best;
}

std::size_t CountParts(std::string_view text, std::size_t partBytes) noexcept {
    std::size_t parts = 0;
    for (std::size_t at = 0; at < text.size(); at = PartEnd(text, at, partBytes)) ++parts;
    return parts;
}

std::size_t LastPartStart(std::string_view text, std::size_t partBytes) noexcept {
    std::size_t last = 0;
    for (std::size_t at = 0; at < text.size(); at = PartEnd(text, at, partBytes)) last = at;
    return last;
}

std::size_t MessagePrefixLength(std::string_view text, std::size_t maxParts, std::size_t partBytes) noexcept {
    std::size_t end = 0;
    for (std::size_t part = 0; part < maxParts && end < text.size(); ++part) end = PartEnd(text, end, partBytes);
    return end;
}
