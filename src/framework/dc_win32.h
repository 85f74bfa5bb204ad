// Device contexts: a non-owning CDC with the drawing operations the module uses,
// the paint context of one WM_PAINT, and a guard that puts back what SelectObject
// replaced.
#pragma once

#include <windows.h>

class CDC {
public:
    CDC() noexcept = default;
    explicit CDC(HDC dc) noexcept : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    HDC GetSafeHdc() const noexcept { return m_hDC; }
    bool IsPrinting() const noexcept { return m_bPrinting; }

    COLORREF SetBkColor(COLORREF colour) const noexcept { return ::SetBkColor(m_hDC, colour); }
    COLORREF SetTextColor(COLORREF colour) const noexcept { return ::SetTextColor(m_hDC, colour); }
    // A solid fill: the background colour becomes `colour` and the rectangle is
    // painted opaquely with it.
    void FillSolidRect(const RECT& rect, COLORREF colour) const noexcept;
    void FillRect(const RECT& rect, HBRUSH brush) const noexcept { ::FillRect(m_hDC, &rect, brush); }
    int GetClipBox(RECT* rect) const noexcept { return ::GetClipBox(m_hDC, rect); }

    HDC m_hDC = nullptr;
    bool m_bPrinting = false;
};

// A context of a window's client area: GetDC in the constructor, ReleaseDC in the
// destructor.
class CClientDC : public CDC {
public:
    explicit CClientDC(HWND hwnd) noexcept : m_hWnd(hwnd) { m_hDC = ::GetDC(hwnd); }
    ~CClientDC() override {
        if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, m_hDC);
    }

private:
    HWND m_hWnd;
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(HWND hwnd) noexcept;
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;
    ~SelectObjectGuard() {
        if (m_previous != nullptr && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }
    HGDIOBJ Previous() const noexcept { return m_previous; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
