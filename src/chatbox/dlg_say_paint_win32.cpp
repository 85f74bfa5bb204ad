// The chat box's own colours: a raised frame, the background, a sunken well
// around the edit, all drawn through one off-screen buffer.
#include "chatbox/buffer_dc_win32.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/paint_plan.h"

namespace {

RECT ToRECT(const Rect& r) noexcept { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

void CDlgSay::OnPaint() {
    CPaintDC paint(m_hWnd);
    PaintOn(paint);
}

void CDlgSay::PaintOn(CDC& target) {
    RECT client{};
    GetClientRect(&client);
    RECT edit{};
    m_editMessage.GetWindowRect(&edit);
    ScreenToClient(&edit);
    CBufferDC dc(target);
    const Rect editInClient{static_cast<int>(edit.left), static_cast<int>(edit.top), static_cast<int>(edit.right),
                            static_cast<int>(edit.bottom)};
    for (const SolidFill& fill : PaintPlan(static_cast<int>(client.right), static_cast<int>(client.bottom), editInClient)) {
        if (fill.withEditBrush) {
            dc.FillRect(ToRECT(fill.rect), m_brushEdit.get());
        } else {
            dc.FillSolidRect(ToRECT(fill.rect), fill.colour);
        }
    }
    m_candidateArea.Paint(dc.GetSafeHdc(), reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)),
                          m_editMessage.Candidates());
}

HBRUSH CDlgSay::OnCtlColor(HDC dc, ControlKind kind) const noexcept {
    const ControlColours colours = ColoursFor(kind);
    ::SetBkColor(dc, colours.background);
    if (colours.text) ::SetTextColor(dc, *colours.text);
    return colours.editBrush ? m_brushEdit.get() : m_brushBack.get();
}
