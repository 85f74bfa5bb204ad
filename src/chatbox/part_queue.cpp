#include "chatbox/part_queue.h"

#include <cstring>

bool PartQueue::MaySayNow(std::uint64_t now) const noexcept {
    return m_used == 0 && (!m_saidAny || now - m_lastSaid >= kPartIntervalMs);
}

bool PartQueue::Add(std::string_view command, bool last) noexcept {
    if (command.size() >= kCapacity - m_used) return false;
    std::memcpy(m_parts + m_used, command.data(), command.size());
    m_used += command.size();
    m_parts[m_used++] = last ? kMessageEnd : kPartEnd;
    return true;
}

std::size_t PartQueue::HeadLength() const noexcept {
    std::size_t length = 0;
    while (length < m_used && m_parts[length] != kPartEnd && m_parts[length] != kMessageEnd) ++length;
    return length;
}

void PartQueue::Remove(std::size_t count) noexcept {
    count = count < m_used ? count : m_used;
    std::memmove(m_parts, m_parts + count, m_used - count);
    m_used -= count;
}

std::string_view PartQueue::Next(std::uint64_t now, bool inPlay) noexcept {
    if (m_used == 0 || (m_saidAny && now - m_lastSaid < kPartIntervalMs)) return {};
    if (!inPlay) {
        Blocked(now);
        return {};
    }
    return {m_parts, HeadLength()};
}

void PartQueue::Said(std::uint64_t now) noexcept {
    m_saidAny = true;
    m_lastSaid = now;
    if (m_used == 0) return;  // a part said before any waited
    if (m_blocked) {
        m_headWaited += now - m_blockedSince;
        m_blocked = false;
    }
    const std::size_t end = HeadLength();
    // A message said whole: the next one starts with its own time to wait.
    if (m_parts[end] == kMessageEnd) m_headWaited = 0;
    Remove(end + 1);
}

void PartQueue::Blocked(std::uint64_t now) noexcept {
    if (m_used == 0) return;
    if (!m_blocked) {
        m_blocked = true;
        m_blockedSince = now;
    }
    if (m_headWaited + (now - m_blockedSince) <= kMaxPartWaitMs) return;
    std::size_t end = 0;
    while (end < m_used && m_parts[end] != kMessageEnd) ++end;
    Remove(end + 1);
    m_blocked = false;
    m_headWaited = 0;
}
