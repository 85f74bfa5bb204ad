#include "framework/dc_win32.h"

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) const noexcept {
    ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

CPaintDC::CPaintDC(HWND hwnd) noexcept : m_hWnd(hwnd) { m_hDC = ::BeginPaint(hwnd, &m_ps); }

CPaintDC::~CPaintDC() {
    if (m_hDC != nullptr) ::EndPaint(m_hWnd, &m_ps);
}
