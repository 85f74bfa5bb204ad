// An off-screen context for one paint: drawing lands in a bitmap the size of the
// target's clip box, copied to the target in one BitBlt when the object goes.
#pragma once

#include "framework/dc_win32.h"
#include "framework/unique_handle_win32.h"

class CBufferDC : public CDC {
public:
    explicit CBufferDC(CDC& target) noexcept;
    ~CBufferDC() override;

private:
    UniqueBitmap m_bitmap;
    HGDIOBJ m_pOldBitmap = nullptr;  // selected in the memory context before m_bitmap
    CDC* m_pDC;                      // the target, not owned
    RECT m_rect{};                   // the buffered area, in the target's logical coordinates
    bool m_bMemDC;                   // false: drawing goes straight to the target
    UniqueMemoryDC m_memDC;
};
