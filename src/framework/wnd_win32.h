// The window base of the framework: one C++ object bound to one window, whose
// messages go through a single window procedure to the class's WindowProc switch.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class CWnd {
public:
    CWnd() noexcept = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    // Binds the object to a window without taking over its messages.
    void Attach(HWND hwnd) noexcept;
    HWND Detach() noexcept;
    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd) noexcept;

    // Binds the object and routes the window's messages through WindowProc; the
    // procedure the window had becomes the default processing. Always the wide
    // API: the ANSI one would turn IME input into '?' before it reached the control.
    bool SubclassWindow(HWND hwnd) noexcept;
    HWND UnsubclassWindow() noexcept;
    // Forgets the window without a call to the system: for the end of the process,
    // which takes its windows along, under a lock that no window work may take.
    void Abandon() noexcept {
        m_hWnd = nullptr;
        m_previousProc = nullptr;
    }

    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    bool GetWindowRect(RECT* rect) const noexcept { return ::GetWindowRect(m_hWnd, rect) != FALSE; }
    bool GetClientRect(RECT* rect) const noexcept { return ::GetClientRect(m_hWnd, rect) != FALSE; }
    bool ScreenToClient(RECT* rect) const noexcept;
    bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const noexcept {
        return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags) != FALSE;
    }
    // Window text in UTF-8, read through the wide API: no code page stands between
    // the window and the module's text.
    std::string GetWindowText() const;
    std::wstring GetWindowTextW() const;
    // UTF-8 text, set through the wide API.
    bool SetWindowText(std::string_view text) const;
    bool SetDlgItemText(int id, const wchar_t* text) const noexcept {
        return ::SetDlgItemTextW(m_hWnd, id, text) != FALSE;
    }
    HWND SetFocus() const noexcept { return ::SetFocus(m_hWnd); }
    // The object is unbound by the time this returns (WM_NCDESTROY detaches it).
    bool DestroyWindow() noexcept { return ::DestroyWindow(m_hWnd) != FALSE; }
    bool IsWindow() const noexcept { return m_hWnd != nullptr && ::IsWindow(m_hWnd) != FALSE; }

    HWND m_hWnd = nullptr;

protected:
    friend class CDialog;

    // The class's message switch; cases it does not handle go to the base class's,
    // and in the end to Default.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The processing the window had before it was bound.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // A notification that the control sent to its parent, handed back to the control
    // first; true when the control handled it (the parent then does nothing).
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Runs after the window is gone and the object is unbound.
    virtual void PostNcDestroy() noexcept {}

    // Reflection, then WindowProc. Never throws.
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static LRESULT CALLBACK RoutingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_previousProc = nullptr;
};
