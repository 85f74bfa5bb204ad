// A message longer than one chat line goes out as up to kMaxParts lines. The game
// passes a line of 100 bytes of UTF-8 on whole (text_limit.h), so each part holds
// at most that much; a cut never falls inside a character, which would make the
// game drop the line, and falls after a space or a punctuation mark where one
// stands in the last quarter of the part, so that words and phrases stay whole.
#pragma once

#include <cstddef>
#include <string_view>

#include "chatbox/text_limit.h"

// The end (a byte offset) of the part that starts at `start` of the UTF-8 `text`:
// the whole rest when it fits in `partBytes`, else the last break after a space or
// punctuation mark in the part's last quarter, else the last character boundary
// that fits. Always beyond `start` while text is left.
std::size_t PartEnd(std::string_view text, std::size_t start, std::size_t partBytes = kMaxMessageBytes) noexcept;

// How many parts the text makes; 0 for the empty text.
std::size_t CountParts(std::string_view text, std::size_t partBytes = kMaxMessageBytes) noexcept;

// Where the last part starts.
std::size_t LastPartStart(std::string_view text, std::size_t partBytes = kMaxMessageBytes) noexcept;

// The longest beginning of the text that a message may hold: its first maxParts
// parts.
std::size_t MessagePrefixLength(std::string_view text, std::size_t maxParts = kMaxParts,
                                std::size_t partBytes = kMaxMessageBytes) noexcept;
