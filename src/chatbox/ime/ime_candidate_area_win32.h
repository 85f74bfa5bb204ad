// The IME's candidates inside the chat box: numbered entries of the current page
// in rows above the prompt, the selected one highlighted, the page position at
// the end. The box grows upward for them, as far as the game's client area
// reaches, and goes back to its place and size when they go.
#pragma once

#include <windows.h>

#include "chatbox/ime/ime_candidates.h"

class CandidateArea {
public:
    // Lays the candidates out in the dialog's font and width, grows or shrinks the
    // box to fit them and has the dialog repainted. Nothing shows without candidates.
    void Update(HWND dialog, const CandidateView& view) noexcept;
    // Draws them into the dialog's paint, over its background.
    void Paint(HDC dc, HFONT font, const CandidateView& view) const noexcept;
    // A new window: nothing shown, nothing grown.
    void Reset() noexcept;

private:
    // Moves the box's top by the change of height and its controls down by as much.
    void Grow(HWND dialog, int height) noexcept;

    CandidateLayout m_layout;
    int m_height = 0;  // how far the box has grown upward
    int m_row = 0;     // the height of one row
};
