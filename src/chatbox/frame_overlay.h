// What drawing the chat box into the game's own frames decides without a window:
// the import entries pointed at our swap function and put back, where the box's
// picture lands in the frame, and the caret drawn into the picture.
//
// Why in the frame at all: a GDI child of a window that renders with OpenGL is not
// seen (the GL surface covers it, and fullscreen drivers skip the desktop), so
// while a box is open its picture is drawn into the game's back buffer just
// before each frame is presented.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "common/rect.h"

// Writes one pointer-sized import entry (on Windows: around a page protection change).
class SlotWriter {
public:
    virtual bool Write(std::uintptr_t* slot, std::uintptr_t value) noexcept = 0;

protected:
    ~SlotWriter() = default;
};

// The import entries pointed at our functions, each with what it held before.
class ImportRedirects {
public:
    static constexpr std::size_t kCapacity = 16;

    // Points `slot` at `ours` when it holds `original` and is not taken yet. False
    // when it holds something else (another program's hook is left alone), when
    // the list is full or when the write fails: the entry is then as it was.
    bool Redirect(SlotWriter& writer, std::uintptr_t* slot, std::uintptr_t original, std::uintptr_t ours) noexcept;
    // Puts back every entry that still holds ours and forgets them all. An entry
    // someone re-pointed after us keeps their value: their hook calls ours, which
    // only passes the call on once nothing is redirected.
    void RestoreAll(SlotWriter& writer) noexcept;
    std::size_t Count() const noexcept { return m_count; }

private:
    struct Entry {
        std::uintptr_t* slot;
        std::uintptr_t original;
        std::uintptr_t ours;
    };
    std::array<Entry, kCapacity> m_entries{};
    std::size_t m_count = 0;
};

// The box's place as an OpenGL viewport of a frame `frameHeight` high: left,
// bottom (counted from the frame's bottom), width and height. A quad over the
// whole viewport then covers exactly the box's pixels.
struct Viewport {
    int x, y, width, height;
    friend constexpr bool operator==(const Viewport&, const Viewport&) = default;
};
Viewport FrameViewport(const Rect& box, int frameHeight) noexcept;

// Inverts the colour of every pixel of `area` that lies inside a top-down picture
// of `width` x `height` 32-bit pixels, as the system draws a solid caret.
void InvertArea(std::span<std::uint32_t> pixels, int width, int height, const Rect& area) noexcept;

// Whether the caret is in its shown half of the blink at `tickMs`; a blink time of
// 0 or all ones (the system's "never blinks") keeps it shown.
bool CaretShownAt(std::uint32_t tickMs, std::uint32_t blinkMs) noexcept;
