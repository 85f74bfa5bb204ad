// UTF-8 inside, UTF-16 at the platform's wide API: the conversions between the
// two and the byte counts the chat box limits messages by. Malformed input never
// fails a conversion: each malformed byte, and each unpaired surrogate, becomes
// U+FFFD, as the platform's own converters do it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The code point that starts at text[i] (i < size), and how many bytes it takes;
// a malformed byte (a stray continuation, an overlong form, a surrogate, a value
// past U+10FFFF, a sequence cut short) is one byte of U+FFFD.
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) noexcept;

std::u16string Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);

// The number of UTF-8 bytes the text becomes.
std::size_t Utf8Length(std::u16string_view text) noexcept;

// The longest prefix of `text` of at most maxBytes bytes that ends between two
// characters, so that a cut never leaves part of a character behind.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) noexcept;
