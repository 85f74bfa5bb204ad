// How much text one chat line may hold. The game keeps the first 127 bytes of the
// command line, drops a message that is not valid UTF-8, and then cuts the text
// byte by byte to what its chat format leaves (108 bytes, 104 for a dead
// player's). 100 bytes of UTF-8 stay below all of these with every command
// prefix ("rcon say \"" and the closing quote take 11 of the 127), so a line
// of the box reaches the other players whole. A longer message goes out as up to
// kMaxParts such lines (message_parts.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kMaxMessageBytes = 100;
inline constexpr std::size_t kMaxParts = 3;
// The game's chat handler ignores a line that comes within 0.66 s of the previous
// one, and common server plugins block faster senders (0.75 s by default). The
// parts of a message go out at least this far apart, which leaves room for the
// frames by which the game takes a send key later than it was pressed.
inline constexpr std::uint64_t kPartIntervalMs = 1100;
// Parts wait for play (the game window in front, no cursor, no box open) this
// long in all for one message; the rest of the message is then dropped. It stays
// in the history whole.
inline constexpr std::uint64_t kMaxPartWaitMs = 10000;
// The box shows the room left in the last part once this little or less is left:
// ten Chinese characters, so the player sees it coming well before the end.
inline constexpr std::size_t kShowRoomFrom = 30;

// Units [start, end) of the edit's text to take out.
struct UnitRange {
    std::size_t start;
    std::size_t end;
    friend constexpr bool operator==(const UnitRange&, const UnitRange&) = default;
};

// After a change of the edit's UTF-16 text, with the caret at `caret` (just
// past what was typed, pasted or composed): nothing when the text makes at most
// `maxParts` parts of `partBytes` UTF-8 bytes; otherwise the characters before
// the caret to take out, the last inserted first, until it fits. Surrogate pairs
// are never split. Text the caret does not follow (a text set as a whole) is cut
// at its end instead.
std::optional<UnitRange> ExcessOfText(std::u16string_view text, std::size_t caret, std::size_t maxParts = kMaxParts,
                                      std::size_t partBytes = kMaxMessageBytes);

// The bytes left to show for a last part of `usedBytes` bytes; nothing while
// more than kShowRoomFrom are left.
std::optional<std::size_t> RoomToShow(std::size_t usedBytes, std::size_t limit = kMaxMessageBytes) noexcept;

// What the version label's place shows, in a fixed buffer: the module keeps it
// without asking for memory at every change of the text.
struct PartsLabel {
    static constexpr std::size_t kCapacity = 48;
    char16_t units[kCapacity] = {};  // NUL-terminated
    std::size_t length = 0;          // 0: the version shows
    std::u16string_view View() const noexcept { return {units, length}; }
};

// The label for the box's UTF-8 `text`: empty for the version itself; "2/3" once
// a second part starts; and in the last part a message may have, the room left
// there once kShowRoomFrom bytes or fewer are left: "3/3 " and `roomPattern` (the
// string table's "还剩 %1 字节") with its %1 replaced by the number. What does not
// fit the buffer is cut.
PartsLabel PartsLabelFor(std::string_view text, std::u16string_view roomPattern) noexcept;

// The edit's text in UTF-8 as it will be once the IME's composition is committed
// in place of the selection; the text itself while nothing is composed.
std::string Utf8IfCommitted(std::u16string_view text, std::size_t selStart, std::size_t selEnd,
                            std::u16string_view composition);

