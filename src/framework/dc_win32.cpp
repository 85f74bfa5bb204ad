#include "framework/dc_win32.h"

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) const noexcept {
    ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void CDC::Draw3dRect(const RECT& rect, COLORREF topLeft, COLORREF bottomRight) const noexcept {
    const LONG l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    FillSolidRect(RECT{l, t, r - 1, t + 1}, topLeft);
    FillSolidRect(RECT{l, t, l + 1, b - 1}, topLeft);
    FillSolidRect(RECT{r - 1, t, r, b}, bottomRight);
    FillSolidRect(RECT{l, b - 1, r, b}, bottomRight);
}

CPaintDC::CPaintDC(HWND hwnd) noexcept : m_hWnd(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) ::EndPaint(m_hWnd, &m_ps);
}
