#include "chatbox/buffer_dc_win32.h"

CBufferDC::CBufferDC(CDC& target) noexcept : m_pDC(&target), m_bMemDC(!target.IsPrinting()) {
    if (m_bMemDC) {
        target.GetClipBox(&m_rect);
        m_memDC.reset(::CreateCompatibleDC(target.GetSafeHdc()));
        if (m_memDC) {
            m_bitmap.reset(::CreateCompatibleBitmap(target.GetSafeHdc(), m_rect.right - m_rect.left,
                                                    m_rect.bottom - m_rect.top));
        }
        if (m_bitmap) {
            m_hDC = m_memDC.get();
            m_pOldBitmap = ::SelectObject(m_hDC, m_bitmap.get());
            // Drawing in the target's coordinates lands in the bitmap.
            ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
            ::IntersectClipRect(m_hDC, m_rect.left, m_rect.top, m_rect.right, m_rect.bottom);
            return;
        }
        // Without memory for the buffer the paint still happens, unbuffered.
        m_memDC.reset();
        m_bMemDC = false;
    }
    m_hDC = target.GetSafeHdc();
    m_bPrinting = target.IsPrinting();
}

CBufferDC::~CBufferDC() {
    if (m_bMemDC) {
        ::BitBlt(m_pDC->GetSafeHdc(), m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                 m_rect.bottom - m_rect.top, m_hDC, m_rect.left, m_rect.top, SRCCOPY);
        ::SelectObject(m_hDC, m_pOldBitmap);
    }
    // The target's handle is the target's; the buffer's own go bitmap first.
    m_hDC = nullptr;
    m_bitmap.reset();
    m_memDC.reset();
}
