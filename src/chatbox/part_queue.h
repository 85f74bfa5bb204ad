// The parts of messages still to be said, oldest first, and when the next one may
// go: never sooner than kPartIntervalMs after the one before, only while the game
// is in play, and not after its message waited kMaxPartWaitMs in all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "chatbox/text_limit.h"

class PartQueue {
public:
    // Room for six messages of three full parts: more than a player sends while
    // the game keeps a queue from going out. A fixed store asks for no memory in
    // the game's thread.
    static constexpr std::size_t kCapacity = 2048;

    bool Empty() const noexcept { return m_used == 0; }
    // How many parts wait, of every message (inline: only the tests ask).
    std::size_t Waiting() const noexcept {
        std::size_t count = 0;
        for (std::size_t i = 0; i < m_used; ++i) count += (m_parts[i] == kPartEnd || m_parts[i] == kMessageEnd) ? 1 : 0;
        return count;
    }
    // Whether a text of `textBytes` bytes, cut into parts and made commands, fits.
    bool HasRoomFor(std::size_t textBytes) const noexcept {
        return textBytes + kMaxParts * kCommandOverhead <= kCapacity - m_used;
    }

    // Whether a message's first part may be said at once (`now` in milliseconds of
    // a steady clock): nothing waits before it and the last part said is far
    // enough back.
    bool MaySayNow(std::uint64_t now) const noexcept;
    // Queues one command (never empty, without a line end) behind what waits;
    // `last` ends its message. False, with nothing queued, when it does not fit.
    bool Add(std::string_view command, bool last) noexcept;

    // The command to say at `now`, or an empty view: none waits, the interval has
    // not passed, or the game is not in play (`inPlay`). Waiting out of play counts
    // against the message at the head, which is dropped once it waited too long.
    std::string_view Next(std::uint64_t now, bool inPlay) noexcept;
    // The command Next gave was said (its file written and the key pressed); with
    // none waiting, a part said without the queue.
    void Said(std::uint64_t now) noexcept;
    // It could not be said at `now` (the file could not be written): it waits,
    // as out of play.
    void Blocked(std::uint64_t now) noexcept;

private:
    // The longest command prefix ("rcon say \""), the closing quote and the end mark.
    static constexpr std::size_t kCommandOverhead = 12;
    // Each command ends with kPartEnd, the last of a message with kMessageEnd: the
    // command format turns both into blanks inside a text.
    static constexpr char kPartEnd = '\n';
    static constexpr char kMessageEnd = '\r';

    // The length of the head command, up to its end mark.
    std::size_t HeadLength() const noexcept;
    // Takes the first `count` bytes out.
    void Remove(std::size_t count) noexcept;

    char m_parts[kCapacity] = {};
    std::size_t m_used = 0;
    bool m_saidAny = false;
    std::uint64_t m_lastSaid = 0;
    bool m_blocked = false;  // the head has waited since m_blockedSince
    std::uint64_t m_blockedSince = 0;
    std::uint64_t m_headWaited = 0;  // earlier waits of the head message
};
