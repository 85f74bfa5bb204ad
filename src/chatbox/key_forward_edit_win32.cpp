#include "chatbox/key_forward_edit_win32.h"

#include "chatbox/edit_rules.h"
#include "framework/dc_win32.h"

LRESULT CKeyForwardEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Alone, so that the dialog manager keeps Tab, Enter and Escape off the edit
        // and leaves them to ForwardKey.
        return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
        if (ForwardKey(static_cast<unsigned>(wParam))) return 0;
        break;
    case WM_CHAR:
        if (!KeepsCharacter(static_cast<unsigned>(wParam))) return 0;
        break;
    default:
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}

bool CKeyForwardEdit::ForwardKey(unsigned virtualKey) noexcept {
    // Sent, not posted: the dialog's handler has run, and may have destroyed the
    // dialog and this window, when the send returns. Nothing is touched afterwards.
    HWND self = m_hWnd;
    HWND parent = ::GetParent(self);
    WORD notification = 0;
    switch (ClassifyKeyDown(virtualKey)) {
    case KeyForward::nextControl:
        ::SendMessageW(parent, WM_NEXTDLGCTL, 0, 0);
        return true;
    case KeyForward::enter:
        notification = static_cast<WORD>(EN_KEY_ENTER);
        break;
    case KeyForward::escape:
        notification = static_cast<WORD>(EN_KEY_ESCAPE);
        break;
    case KeyForward::defaultProcessing:
        return false;
    }
    const WORD id = static_cast<WORD>(::GetDlgCtrlID(self) & 0xFFFF);
    ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(self));
    return true;
}

int CKeyForwardEdit::GetLineHeight() const noexcept {
    RECT window{};
    GetWindowRect(&window);
    const int windowHeight = window.bottom - window.top;
    auto font = reinterpret_cast<HFONT>(::SendMessageW(GetParent(), WM_GETFONT, 0, 0));
    if (font == nullptr) return windowHeight;
    CClientDC dc(m_hWnd);
    if (dc.GetSafeHdc() == nullptr) return windowHeight;
    TEXTMETRICW metrics{};
    {
        SelectObjectGuard selected(dc.GetSafeHdc(), font);
        ::GetTextMetricsW(dc.GetSafeHdc(), &metrics);
    }
    return static_cast<int>(metrics.tmHeight);
}
