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

FrameQuad QuadInFrame(const Rect& box, int frameWidth, int frameHeight, int textureWidth, int textureHeight) noexcept {
    const float w = static_cast<float>(std::max(frameWidth, 1));
    const float h = static_cast<float>(std::max(frameHeight, 1));
    auto x = [w](int px) { return 2.0f * static_cast<float>(px) / w - 1.0f; };
    auto y = [h](int py) { return 1.0f - 2.0f * static_cast<float>(py) / h; };
    return FrameQuad{x(box.left),
                     y(box.top),
                     x(box.right),
                     y(box.bottom),
                     static_cast<float>(box.Width()) / static_cast<float>(std::max(textureWidth, 1)),
                     static_cast<float>(box.Height()) / static_cast<float>(std::max(textureHeight, 1))};
}

int TextureSide(int size) noexcept {
    int side = 1;
    while (side < size && side < (1 << 30)) side <<= 1;
    return side;
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
