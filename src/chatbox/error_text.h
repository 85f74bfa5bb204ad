// The text of a system error as the error box shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// `systemText` is what the system gave for the code. Empty means it has no text:
// the result is the code as a signed decimal in parentheses, "(-5)". Otherwise
// only a final CR LF pair is dropped; line breaks inside the text stay.
std::string FinishSystemErrorText(std::string_view systemText, std::int32_t code);

// The same rule in place, for a caller that let the system fill `buffer` of
// `size` bytes with `systemLength` characters (0 when there was no text).
// Writes the NUL-terminated result into the buffer, the number text cut to fit,
// and returns its length. Nothing is written when `size` is 0.
std::size_t FinishSystemErrorText(char* buffer, std::size_t size, std::size_t systemLength,
                                  std::int32_t code) noexcept;
