// How much text one message may hold. The game keeps the first 127 bytes of the
// command line, drops a message that is not valid UTF-8, and then cuts the text
// byte by byte to what its chat format leaves (108 bytes, 104 for a dead
// player's). 100 bytes of UTF-8 stay below all of these with every command
// prefix ("rcon say \"" and the closing quote take 11 of the 127), so a message
// the box accepts reaches the other players whole.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxMessageBytes = 100;
// The box shows the room left once this little or less is left: ten Chinese
// characters, so the player sees it coming well before the end.
inline constexpr std::size_t kShowRoomFrom = 30;

// Units [start, end) of the edit's text to take out.
struct UnitRange {
    std::size_t start;
    std::size_t end;
    friend constexpr bool operator==(const UnitRange&, const UnitRange&) = default;
};

// After a change of the edit's UTF-16 text, with the caret at `caret` (just
// past what was typed, pasted or composed): nothing when the text fits in
// `limit` UTF-8 bytes; otherwise the characters before the caret to take out, the
// last inserted first, until it fits. Surrogate pairs are never split. Text the
// caret does not follow (a text set as a whole) is cut at its end instead.
std::optional<UnitRange> ExcessOfText(std::u16string_view text, std::size_t caret,
                                      std::size_t limit = kMaxMessageBytes) noexcept;

// The bytes left to show for a text of `usedBytes` bytes; nothing while more
// than kShowRoomFrom are left.
std::optional<std::size_t> RoomToShow(std::size_t usedBytes, std::size_t limit = kMaxMessageBytes) noexcept;

// The room-left text: `pattern` (the string table's "还剩 %1 字节") with its %1
// replaced by the number.
std::u16string RoomLeftText(std::u16string_view pattern, std::size_t room);
