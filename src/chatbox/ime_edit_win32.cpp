#include "chatbox/ime_edit_win32.h"

#include <imm.h>

#include <algorithm>

#include "chatbox/composition.h"
#include "chatbox/paint_plan.h"
#include "common/utf8.h"
#include "framework/dc_win32.h"
#include "framework/wide_text_win32.h"

namespace {

// One of the composition's parts (GCS_COMPSTR, GCS_COMPATTR, ...) into a string or
// vector of its unit; empty when the IME has none. The IME says how many bytes.
template <class Units>
Units ReadPart(HIMC context, DWORD part) {
    Units units;
    const LONG bytes = ::ImmGetCompositionStringW(context, part, nullptr, 0);
    if (bytes <= 0 || bytes > 0x10000) return units;
    units.resize(static_cast<std::size_t>(bytes) / sizeof(typename Units::value_type));
    const LONG read = ::ImmGetCompositionStringW(context, part, units.data(),
                                                 static_cast<DWORD>(units.size() * sizeof(typename Units::value_type)));
    units.resize(std::min(units.size(), static_cast<std::size_t>(std::max<LONG>(read, 0)) /
                                            sizeof(typename Units::value_type)));
    return units;
}

const wchar_t* Wide(const char16_t* text) noexcept { return reinterpret_cast<const wchar_t*>(text); }

// The input context of the edit, released when the object goes.
class ImeContext {
public:
    explicit ImeContext(HWND window) noexcept : m_window(window), m_context(::ImmGetContext(window)) {}
    ImeContext(const ImeContext&) = delete;
    ImeContext& operator=(const ImeContext&) = delete;
    ~ImeContext() {
        if (m_context != nullptr) ::ImmReleaseContext(m_window, m_context);
    }
    HIMC get() const noexcept { return m_context; }

private:
    HWND m_window;
    HIMC m_context;
};

}  // namespace

LRESULT CImeEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_IME_SETCONTEXT:
        // The box draws the composition and the candidates: the IME's windows stay hidden.
        if (wParam != 0) lParam &= ~static_cast<LPARAM>(ISC_SHOWUICOMPOSITIONWINDOW | ISC_SHOWUIALLCANDIDATEWINDOW);
        break;
    case WM_IME_STARTCOMPOSITION:
        return 0;
    case WM_IME_COMPOSITION:
        // Not passed on: the result would come again as characters, and Wine's
        // edit would draw the composition inside the text.
        OnImeComposition(lParam);
        return 0;
    case WM_IME_ENDCOMPOSITION:
        SetComposition({});
        return 0;
    case WM_IME_NOTIFY:
        if (wParam == IMN_OPENCANDIDATE || wParam == IMN_CHANGECANDIDATE) {
            ReadImmCandidates();
            return 0;
        }
        if (wParam == IMN_CLOSECANDIDATE) {
            SetCandidates(std::nullopt);
            return 0;
        }
        break;
    case WM_KEYDOWN:
        // An IME takes Enter and Escape while it composes (they arrive as
        // VK_PROCESSKEY); one that lets them through still only finishes or drops
        // the composition, and never sends or closes the box.
        if (!m_composition.text.empty() && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            const ImeContext context(m_hWnd);
            if (context.get() != nullptr) {
                ::ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, wParam == VK_RETURN ? CPS_COMPLETE : CPS_CANCEL, 0);
            }
            // An IME that did not answer leaves nothing behind that would hold Enter back.
            if (!m_composition.text.empty()) SetComposition({});
            return 0;
        }
        break;
    case WM_PAINT: {
        const LRESULT result = CHistoryEdit::WindowProc(message, wParam, lParam);
        if (!m_composition.text.empty()) PaintComposition();
        return result;
    }
    default:
        break;
    }
    return CHistoryEdit::WindowProc(message, wParam, lParam);
}

void CImeEdit::OnImeComposition(LPARAM flags) {
    const ImeContext context(m_hWnd);
    if (context.get() == nullptr) return;
    Composition next;
    if ((flags & (GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS)) != 0) {
        next.text = ReadPart<std::u16string>(context.get(), GCS_COMPSTR);
        next.attributes = ReadPart<std::vector<std::uint8_t>>(context.get(), GCS_COMPATTR);
        next.clauses = ReadPart<std::vector<std::uint32_t>>(context.get(), GCS_COMPCLAUSE);
        const LONG cursor = ::ImmGetCompositionStringW(context.get(), GCS_CURSORPOS, nullptr, 0);
        next.cursor = cursor < 0 ? next.text.size() : std::min<std::size_t>(static_cast<std::size_t>(cursor), next.text.size());
    }
    if ((flags & GCS_RESULTSTR) != 0) {
        // The result goes in first, at the selection; a new composition may follow it.
        m_composition = {};
        Commit(ReadPart<std::u16string>(context.get(), GCS_RESULTSTR));
    }
    SetComposition(std::move(next));
}

void CImeEdit::ReadImmCandidates() {
    std::optional<CandidateView> view;
    {
        const ImeContext context(m_hWnd);
        const DWORD size = context.get() != nullptr ? ::ImmGetCandidateListW(context.get(), 0, nullptr, 0) : 0;
        if (size > 0 && size <= 0x100000) {
            std::vector<std::uint8_t> bytes(size);
            const DWORD read =
                ::ImmGetCandidateListW(context.get(), 0, reinterpret_cast<CANDIDATELIST*>(bytes.data()), size);
            bytes.resize(std::min<DWORD>(read, size));
            view = ReadCandidateList(bytes);
        }
    }
    SetCandidates(std::move(view));
}

void CImeEdit::SetComposition(Composition composition) {
    const bool ended = !m_composition.text.empty() && composition.text.empty();
    m_composition = std::move(composition);
    if (m_hWnd == nullptr) return;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    if (ended) {
        // The edit puts its own caret back where its selection is.
        const auto [start, end] = GetSel();
        SetSel(start, end);
    }
    Notify(EN_IME_COMPOSITION);
}

void CImeEdit::SetCandidates(std::optional<CandidateView> candidates) {
    if (candidates && candidates->entries.empty()) candidates.reset();
    m_candidates = std::move(candidates);
    if (m_hWnd != nullptr) Notify(EN_IME_CANDIDATES);
}

void CImeEdit::Commit(std::u16string_view result) const noexcept {
    if (result.empty() || m_hWnd == nullptr) return;
    const std::u16string text(result);
    // As typing would: the change report then keeps the message within its limit.
    SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void CImeEdit::ResetIme() noexcept {
    m_composition = {};
    m_candidates.reset();
}

std::size_t CImeEdit::BytesIfCommitted() const {
    const std::wstring text = GetWindowTextW();
    if (m_composition.text.empty()) return Utf8Length(AsUtf16(text));
    const auto [start, end] = GetSel();
    return ::BytesIfCommitted(AsUtf16(text), static_cast<std::size_t>(start), static_cast<std::size_t>(end),
                              m_composition.text);
}

void CImeEdit::Notify(unsigned code) const noexcept {
    const WORD id = static_cast<WORD>(GetDlgCtrlID() & 0xFFFF);
    ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(m_hWnd));
}

int CImeEdit::CharacterX(const std::wstring& text, int index, HDC dc, int left) const {
    LRESULT at = SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    if (at != -1) return static_cast<short>(LOWORD(at));
    // Past the last character the edit gives no position: after the last one.
    if (index > 0 && static_cast<std::size_t>(index) <= text.size()) {
        at = SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(index - 1), 0);
        SIZE last{};
        if (at != -1 && ::GetTextExtentPoint32W(dc, text.c_str() + index - 1, 1, &last)) {
            return static_cast<short>(LOWORD(at)) + static_cast<int>(last.cx);
        }
    }
    return left;
}

void CImeEdit::PaintComposition() const {
    CClientDC client(m_hWnd);
    const HDC dc = client.GetSafeHdc();
    if (dc == nullptr) return;
    SelectObjectGuard font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    RECT area{};
    SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    RECT whole{};
    GetClientRect(&whole);

    const std::u16string& text = m_composition.text;
    std::vector<int> ends(text.size());
    SIZE size{};
    ::GetTextExtentExPointW(dc, Wide(text.c_str()), static_cast<int>(text.size()), 0, nullptr, ends.data(), &size);
    const std::wstring edited = GetWindowTextW();
    const auto [selStart, selEnd] = GetSel();
    // At the insertion point, moved left as far as it takes to show the whole
    // composition: the edit does not scroll for text it does not hold.
    const int x = std::max<int>(area.left, std::min<int>(CharacterX(edited, selStart, dc, area.left),
                                                         area.right - size.cx));
    const int top = area.top;
    const int bottom = std::min<int>(whole.bottom, top + size.cy);
    auto xOf = [&](std::size_t unit) { return x + (unit == 0 ? 0 : ends[unit - 1]); };

    ::HideCaret(m_hWnd);
    const CDC out(dc);
    // The composition stands in for the selection; what follows it moves right.
    out.FillSolidRect(RECT{x, whole.top, whole.right, whole.bottom}, kEditBackColour);
    for (const CompositionRun& run : CompositionRuns(text.size(), m_composition.attributes, m_composition.clauses)) {
        const RECT box{xOf(run.start), top, xOf(run.end), bottom};
        const bool target = run.look == ClauseLook::target;
        const COLORREF ink = target ? kEditBackColour : kEditTextColour;
        ::SetTextColor(dc, ink);
        ::SetBkColor(dc, target ? kEditTextColour : kEditBackColour);
        ::ExtTextOutW(dc, box.left, top, ETO_OPAQUE | ETO_CLIPPED, &box, Wide(text.c_str()) + run.start,
                      static_cast<UINT>(run.end - run.start), nullptr);
        if (target) continue;
        // Converted clauses underlined solid, typed letters dotted; a clause's line
        // stops a pixel short of the next clause.
        const LONG right = box.right - (run.endsClause ? 1 : 0);
        const LONG step = run.look == ClauseLook::input ? 2 : right - box.left;
        for (LONG px = box.left; px < right; px += std::max<LONG>(step, 1)) {
            out.FillSolidRect(RECT{px, bottom - 1, step == 2 ? px + 1 : right, bottom}, ink);
        }
    }
    if (static_cast<std::size_t>(selEnd) < edited.size()) {
        ::SetTextColor(dc, kEditTextColour);
        ::SetBkColor(dc, kEditBackColour);
        ::ExtTextOutW(dc, x + size.cx, top, ETO_CLIPPED, &whole, edited.c_str() + selEnd,
                      static_cast<UINT>(edited.size() - static_cast<std::size_t>(selEnd)), nullptr);
    }
    ::SetCaretPos(xOf(m_composition.cursor), top);
    ::ShowCaret(m_hWnd);
}
