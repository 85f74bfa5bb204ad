#include "chatbox/candidate_area_win32.h"

#include <algorithm>
#include <string>
#include <vector>

#include "chatbox/paint_plan.h"
#include "framework/dc_win32.h"

namespace {

constexpr int kInset = 4;    // from the box's frame to the first row and entry
constexpr int kPadding = 2;  // inside an entry, around its text
constexpr int kGap = 4;      // between two entries

const wchar_t* Wide(const std::u16string& text) noexcept { return reinterpret_cast<const wchar_t*>(text.c_str()); }

int TextWidth(HDC dc, const std::u16string& text, int* height) noexcept {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
    *height = std::max(*height, static_cast<int>(size.cy));
    return static_cast<int>(size.cx) + 2 * kPadding;
}

}  // namespace

void CandidateArea::Reset() noexcept {
    m_layout = {};
    m_height = 0;
}

void CandidateArea::Update(HWND dialog, const std::optional<CandidateView>& view) {
    int needed = 0;
    m_layout = {};
    if (view) {
        CClientDC client(dialog);
        SelectObjectGuard font(client.GetSafeHdc(), reinterpret_cast<HGDIOBJ>(::SendMessageW(dialog, WM_GETFONT, 0, 0)));
        int line = 0;
        std::vector<int> widths;
        for (std::size_t i = 0; i < view->entries.size(); ++i) {
            widths.push_back(TextWidth(client.GetSafeHdc(), CandidateLabel(i, view->entries[i]), &line));
        }
        const std::u16string pages = PageLabel(view->page);
        const int pagesWidth = pages.empty() ? 0 : TextWidth(client.GetSafeHdc(), pages, &line);
        RECT rect{};
        ::GetClientRect(dialog, &rect);
        m_layout = LayOutCandidates(widths, pagesWidth, static_cast<int>(rect.right) - 2 * kInset, kGap);
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
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::SetWindowPos(dialog, nullptr, box.left, box.top - change, box.right - box.left, box.bottom - box.top + change,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    m_height += change;
}

void CandidateArea::Paint(HDC dc, HFONT font, const std::optional<CandidateView>& view) const {
    if (!view || m_height == 0) return;
    SelectObjectGuard selected(dc, font);
    auto draw = [&](const CandidateSlot& slot, const std::u16string& text, COLORREF ink, COLORREF back) {
        const RECT box{kInset + slot.x, kInset + slot.row * m_row, kInset + slot.x + slot.width,
                       kInset + (slot.row + 1) * m_row};
        if (box.bottom > m_height) return;  // no room left above the game's top for this row
        ::SetTextColor(dc, ink);
        ::SetBkColor(dc, back);
        ::ExtTextOutW(dc, box.left + kPadding, box.top + 1, ETO_OPAQUE | ETO_CLIPPED, &box, Wide(text),
                      static_cast<UINT>(text.size()), nullptr);
    };
    const std::size_t shown = std::min(view->entries.size(), m_layout.slots.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const bool isSelected = view->page.selected == view->page.first + i;
        draw(m_layout.slots[i], CandidateLabel(i, view->entries[i]), isSelected ? kBackColour : kEditTextColour,
             isSelected ? kEditTextColour : kBackColour);
    }
    if (m_layout.pageLabel.width > 0) draw(m_layout.pageLabel, PageLabel(view->page), kStaticTextColour, kBackColour);
}
