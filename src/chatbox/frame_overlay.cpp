#include "chatbox/frame_overlay.h"

#include <algorithm>

bool ImportRedirects::Redirect(SlotWriter& writer, std::uintptr_t* slot, std::uintptr_t original,
                               std::uintptr_t ours) noexcept {
    if (*slot != original || m_count == m_entries.size()) return false;
    if (!writer.Write(slot, ours)) return false;
    m_entries[m_count++] = Entry{slot, original, ours};
    return true;
}

void ImportRedirects::RestoreAll(SlotWriter& writer) noexcept {
    // Newest first, so that a slot listed twice ends with what it held first.
    while (m_count > 0) {
        const Entry& entry = m_entries[--m_count];
        if (*entry.slot == entry.ours) writer.Write(entry.slot, entry.original);
    }
}

Viewport FrameViewport(const Rect& box, int frameHeight) noexcept {
    return Viewport{box.left, frameHeight - box.bottom, box.Width(), box.Height()};
}

void InvertArea(std::span<std::uint32_t> pixels, int width, int height, const Rect& area) noexcept {
    const int left = std::max(area.left, 0);
    const int right = std::min(area.right, width);
    const int top = std::max(area.top, 0);
    const int bottom = std::min(area.bottom, height);
    if (static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)) > pixels.size()) {
        return;
    }
    for (int row = top; row < bottom; ++row) {
        for (int column = left; column < right; ++column) {
            pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)] ^=
                0x00FFFFFFu;
        }
    }
}

bool CaretShownAt(std::uint32_t tickMs, std::uint32_t blinkMs) noexcept {
    if (blinkMs == 0 || blinkMs == 0xFFFFFFFFu) return true;
    return (tickMs / blinkMs) % 2 == 0;
}
