// The message edit's key handling: it claims every key, and turns the three a
// dialog would take for itself into explicit messages to its parent.
#pragma once

#include "framework/edit_win32.h"

class CKeyForwardEdit : public CEdit {
public:
    // The height of one text line in the parent dialog's font; the edit's own
    // window height when the dialog has no font.
    int GetLineHeight() const noexcept;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Tab, Enter and Escape go to the parent; false for every other key, which
    // then gets the standard edit's handling. After a true the window may be gone.
    bool ForwardKey(unsigned virtualKey) noexcept;
};
