#include "common/utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsHighSurrogate(char16_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) noexcept { return unit >= 0xDC00 && unit <= 0xDFFF; }
constexpr bool IsContinuation(unsigned char byte) noexcept { return (byte & 0xC0) == 0x80; }

// The code point that starts at text[i], and how many units it takes.
char32_t DecodeUtf16(std::u16string_view text, std::size_t i, std::size_t& length) noexcept {
    const char16_t unit = text[i];
    length = 1;
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        length = 2;
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00);
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) return kReplacement;
    return unit;
}

constexpr std::size_t EncodedLength(char32_t c) noexcept { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

void AppendUtf8(std::string& out, char32_t c) {
    switch (EncodedLength(c)) {
    case 1:
        out += static_cast<char>(c);
        break;
    case 2:
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
        break;
    case 3:
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
        break;
    default:
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
        break;
    }
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) noexcept {
    const auto lead = static_cast<unsigned char>(text[i]);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t count = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 1, value = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 2, value = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 3, value = lead & 0x07, smallest = 0x10000;
    } else {
        return kReplacement;
    }
    if (text.size() - i <= count) return kReplacement;
    for (std::size_t k = 1; k <= count; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(byte)) return kReplacement;
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
    length = count + 1;
    return value;
}

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        const char32_t c = DecodeUtf8(text, i, length);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) AppendUtf8(out, DecodeUtf16(text, i, length));
    return out;
}

std::size_t Utf8Length(std::u16string_view text) noexcept {
    std::size_t bytes = 0;
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) bytes += EncodedLength(DecodeUtf16(text, i, length));
    return bytes;
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) noexcept {
    std::size_t end = 0;
    for (std::size_t length = 0; end < text.size(); end += length) {
        DecodeUtf8(text, end, length);
        if (end + length > maxBytes) break;
    }
    return end;
}
