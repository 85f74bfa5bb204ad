// A standard edit control bound to an object; derived classes handle its messages.
#pragma once

#include "framework/wnd_win32.h"

#include <utility>

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const noexcept {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    }
    // The selection as (start, end) character positions.
    std::pair<int, int> GetSel() const noexcept;
    void ScrollCaret() const noexcept { SendMessage(EM_SCROLLCARET, 0, 0); }
};
