// The game's chat handler lets a player say one line every 0.66 s: a say or
// say_team line that comes sooner after the last one that passed is ignored, and
// every line that passes starts the interval again, also one that is dropped
// afterwards for its text. An rcon say is the server console's say, which the
// engine runs without the chat handler: it neither waits nor starts the interval.
#pragma once

#include <cstdint>

class ChatInterval {
public:
    static constexpr std::uint64_t kMinGapMs = 660;

    // Whether a chat line arriving at `nowMs` (a steady clock) passes.
    constexpr bool Pass(std::uint64_t nowMs) noexcept {
        if (m_passedAny && nowMs - m_lastMs < kMinGapMs) return false;
        m_passedAny = true;
        m_lastMs = nowMs;
        return true;
    }

private:
    bool m_passedAny = false;
    std::uint64_t m_lastMs = 0;
};
