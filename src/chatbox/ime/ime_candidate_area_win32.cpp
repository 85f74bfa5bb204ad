#include "chatbox/ime/ime_candidate_area_win32.h"

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
    m_place = {};
    m_firstRow = m_up = m_down = m_areaTop = 0;
}

void CandidateArea::Update(HWND dialog, HWND edit, const CandidateView& view) noexcept {
    const HWND game = ::GetParent(dialog);
    RECT box{};
    ::GetWindowRect(dialog, &box);
    ::MapWindowPoints(nullptr, game, reinterpret_cast<POINT*>(&box), 2);
    // Where the box stood before it grew.
    const int top = static_cast<int>(box.top) + m_up;
    const int bottom = static_cast<int>(box.bottom) - m_down;
    m_layout = {};
    m_place = {};
    m_firstRow = 0;
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
        m_layout = LayOutCandidates(std::span(widths).first(view.count), pagesWidth,
                                    static_cast<int>(box.right - box.left) - 2 * kInset, kGap);
        m_row = line + 2;
        RECT area{};
        ::GetClientRect(game, &area);
        m_place = PlaceCandidateRows(m_layout.rows, m_row, kInset, top - static_cast<int>(area.top),
                                     static_cast<int>(area.bottom) - bottom);
        // No selection: an index past every slot.
        m_firstRow = FirstShownRow(m_layout, view.page.selected.value_or(SIZE_MAX) - view.page.first, m_place.rows);
    }
    // Below the box the rows start where its closed place ends; inside it, over the prompt line.
    m_areaTop = m_place.below ? bottom - top : kInset;
    const int up = m_place.below ? 0 : m_place.height;
    const int down = m_place.below ? m_place.height : 0;
    const int shift = up - m_up;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // The prompt line gives its place to the one row that has no room elsewhere.
        if (child != edit) ::ShowWindow(child, m_place.inside ? SW_HIDE : SW_SHOWNA);
        if (shift == 0) continue;
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        ::SetWindowPos(child, nullptr, place.left, place.top + shift, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    // No bits copied: the box is painted anew right after, and under Wine moving
    // a shown child of a window that renders with OpenGL with its bits copied
    // never returns.
    if (shift != 0 || down != m_down) {
        ::SetWindowPos(dialog, nullptr, box.left, top - up, box.right - box.left, bottom - top + up + down,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    m_up = up;
    m_down = down;
    ::InvalidateRect(dialog, nullptr, TRUE);
}

void CandidateArea::Paint(HDC dc, HFONT font, const CandidateView& view) const noexcept {
    if (view.count == 0 || m_place.rows == 0) return;
    SelectObjectGuard selected(dc, font);
    const int lastRow = m_firstRow + m_place.rows - 1;
    auto draw = [&](const CandidateSlot& slot, int row, const CandidateLabelText& text, COLORREF ink, COLORREF back) {
        if (row < m_firstRow || row > lastRow) return;  // no room for this row
        const int top = m_areaTop + (row - m_firstRow) * m_row;
        const RECT box{kInset + slot.x, top, kInset + slot.x + slot.width, top + m_row};
        ::SetTextColor(dc, ink);
        ::SetBkColor(dc, back);
        ::ExtTextOutW(dc, box.left + kPadding, box.top + 1, ETO_OPAQUE | ETO_CLIPPED, &box, Wide(text),
                      static_cast<UINT>(text.length), nullptr);
    };
    for (std::size_t i = 0; i < std::min(view.count, m_layout.count); ++i) {
        const bool isSelected = view.page.selected == view.page.first + i;
        draw(m_layout.slots[i], m_layout.slots[i].row, CandidateLabel(i, view.entries[i].View()),
             isSelected ? kBackColour : kEditTextColour, isSelected ? kEditTextColour : kBackColour);
    }
    // The page position shows even when its own row has no room: at the end of the last row shown.
    if (m_layout.pageLabel.width > 0) {
        const int row = m_layout.pageLabel.row <= lastRow ? m_layout.pageLabel.row : lastRow;
        draw(m_layout.pageLabel, row, PageLabel(view.page), kStaticTextColour, kBackColour);
    }
}
