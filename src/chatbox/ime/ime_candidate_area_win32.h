// The IME's candidates inside the chat box: numbered entries of the current page
// in rows above the prompt, the selected one highlighted, the page position at
// the end. The box grows upward for them, or downward where the game's client
// area has no room above it, and goes back to its place and size when they go.
#pragma once

#include <windows.h>

#include "chatbox/ime/ime_candidates.h"

class CandidateArea {
public:
    // Lays the candidates out in the dialog's font and width, grows or shrinks the
    // box to fit them and has the dialog repainted. Nothing shows without
    // candidates. `edit` is the one control that never gives up its place.
    void Update(HWND dialog, HWND edit, const CandidateView& view) noexcept;
    // Draws them into the dialog's paint, over its background.
    void Paint(HDC dc, HFONT font, const CandidateView& view) const noexcept;
    // A new window: nothing shown, nothing grown.
    void Reset() noexcept;

private:
    CandidateLayout m_layout;
    CandidatePlace m_place;
    int m_firstRow = 0;  // the first row of the layout shown
    int m_up = 0;        // how far the box has grown upward (its controls moved down by as much)
    int m_down = 0;      // and downward
    int m_areaTop = 0;   // where the first row shown starts, in the box's client area
    int m_row = 0;       // the height of one row
};
