#include "chatbox/candidate_area_win32.h"

#include <algorithm>
#include <array>

#include "chatbox/paint_plan.h"
#include "framework/dc_win32.h"

namespace {

constexpr int kInset = 4;    // from the box's frame to the first row and entry
constexpr int kPadding = 2;  // inside an entry, around its text
constexpr int kGap = 4;      // between two entries

const wchar_t* Wide(const CandidateLabelText& text) noexcept {
    return reinterpret_cast<const wchar_t*>(text.units.data());
}

int TextWidth(HDC dc, const CandidateLabelText& text, int* height) noexcept {
    SIZE size{};
    ::GetTextExtentExPointW(dc, Wide(text), static_cast<int>(text.length), 0, nullptr, nullptr, &size);
    *height = std::max(*height, static_cast<int>(size.cy));
    return static_cast<int>(size.cx) + 2 * kPadding;
}

}  // namespace

void CandidateArea::Reset() noexcept {
    m_layout = {};
    m_height = 0;
}

void CandidateArea::Update(HWND dialog, const CandidateView& view) noexcept {
    int needed = 0;
    m_layout = {};
    if (view.count > 0) {
        CClientDC client(dialog);
        SelectObjectGuard font(client.GetSafeHdc(), reinterpret_cast<HGDIOBJ>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
        int line = 0;
        std::array<int, kMaxCandidatesPerPage> widths{};
        for (std::size_t i = 0; i < view.count; ++i) {
            widths[i] = TextWidth(client.GetSafeHdc(), CandidateLabel(i, view.entries[i].View()), &line);
        }
        const CandidateLabelText pages = PageLabel(view.page);
        const int pagesWidth = pages.length == 0 ? 0 : TextWidth(client.GetSafeHdc(), pages, &line);
        RECT rect{};
        ::GetClientRect(dialog, &rect);
        m_layout = LayOutCandidates(std::span(widths).first(view.count), pagesWidth,
                                    static_cast<int>(rect.right) - 2 * kInset, kGap);
        m_row = line + 2;
        needed = m_layout.rows * m_row + kInset;
    }
    Grow(dialog, needed);
    ::InvalidateRect(dialog, nullptr, TRUE);
}

void CandidateArea::Grow(HWND dialog, int height) noexcept {
    const HWND game = ::GetParent(dialog);
    RECT box{};
    ::GetWindowRect(dialog, &box);
    ::MapWindowPoints(nullptr, game, reinterpret_cast<POINT*>(&box), 2);
    // Never above the top of the game's client area.
    int change = height - m_height;
    if (change > 0) change = std::min<int>(change, std::max<int>(box.top, 0));
    if (change == 0) return;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        ::SetWindowPos(child, nullptr, place.left, place.top + change, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    // No bits copied: the box is painted anew right after, and under Wine moving
    // a shown child of a window that renders with OpenGL with its bits copied
    // never returns.
    ::SetWindowPos(dialog, nullptr, box.left, box.top - change, box.right - box.left, box.bottom - box.top + change,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    m_height += change;
}

void CandidateArea::Paint(HDC dc, HFONT font, const CandidateView& view) const noexcept {
    if (view.count == 0 || m_height == 0) return;
    SelectObjectGuard selected(dc, font);
    auto draw = [&](const CandidateSlot& slot, const CandidateLabelText& text, COLORREF ink, COLORREF back) {
        const RECT box{kInset + slot.x, kInset + slot.row * m_row, kInset + slot.x + slot.width,
                       kInset + (slot.row + 1) * m_row};
        if (box.bottom > m_height) return;  // no room left above the game's top for this row
        ::SetTextColor(dc, ink);
        ::SetBkColor(dc, back);
        ::ExtTextOutW(dc, box.left + kPadding, box.top + 1, ETO_OPAQUE | ETO_CLIPPED, &box, Wide(text),
                      static_cast<UINT>(text.length), nullptr);
    };
    for (std::size_t i = 0; i < std::min(view.count, m_layout.count); ++i) {
        const bool isSelected = view.page.selected == view.page.first + i;
        draw(m_layout.slots[i], CandidateLabel(i, view.entries[i].View()), isSelected ? kBackColour : kEditTextColour,
             isSelected ? kEditTextColour : kBackColour);
    }
    if (m_layout.pageLabel.width > 0) draw(m_layout.pageLabel, PageLabel(view.page), kStaticTextColour, kBackColour);
}
