// The edit's IME work outside its message switch: reading the composition and the
// candidates, and drawing the composition. Built without exceptions (see
// CMakeLists.txt): nothing here throws or calls what throws.
#include "chatbox/ime/ime_edit_win32.h"

#include <imm.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "chatbox/paint_plan.h"
#include "common/utf8.h"
#include "framework/dc_win32.h"
#include "framework/wide_text_win32.h"

namespace {

// One of the composition's parts (GCS_COMPSTR, GCS_COMPATTR, ...) into `units`;
// returns how many units it filled. The IME says how many bytes it has.
template <class Unit, std::size_t N>
std::size_t ReadPart(HIMC context, DWORD part, std::array<Unit, N>& units) noexcept {
    const LONG read = ::ImmGetCompositionStringW(context, part, units.data(), static_cast<DWORD>(N * sizeof(Unit)));
    return std::min(N, static_cast<std::size_t>(std::max<LONG>(read, 0)) / sizeof(Unit));
}

const wchar_t* Wide(const char16_t* text) noexcept { return reinterpret_cast<const wchar_t*>(text); }

// A buffer of the C runtime's heap: no exception, and none of the array-new
// machinery linked into the module for two buffers.
struct FreeBuffer {
    void operator()(void* buffer) const noexcept { std::free(buffer); }
};
template <class T>
std::unique_ptr<T[], FreeBuffer> Allocate(std::size_t count) noexcept {
    return std::unique_ptr<T[], FreeBuffer>(static_cast<T*>(std::malloc(count * sizeof(T))));
}

// The edit's text, which the message limit keeps far below this size.
struct EditText {
    explicit EditText(HWND edit) noexcept
        : length(static_cast<std::size_t>(std::max(::GetWindowTextW(edit, units.data(), static_cast<int>(units.size())), 0))) {}
    std::array<wchar_t, 256> units{};
    std::size_t length;
    std::u16string_view View() const noexcept { return AsUtf16(std::wstring_view(units.data(), length)); }
};

}  // namespace

void CImeEdit::OnImeComposition(LPARAM flags) noexcept {
    const ImeContext context(m_hWnd);
    if (context.get() == nullptr) return;
    Composition next;
    if ((flags & (GCS_COMPSTR | GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS)) != 0) {
        next.length = ReadPart(context.get(), GCS_COMPSTR, next.text);
        next.attributeCount = ReadPart(context.get(), GCS_COMPATTR, next.attributes);
        next.clauseCount = ReadPart(context.get(), GCS_COMPCLAUSE, next.clauses);
        const LONG cursor = ::ImmGetCompositionStringW(context.get(), GCS_CURSORPOS, nullptr, 0);
        next.cursor = cursor < 0 ? next.length : std::min<std::size_t>(static_cast<std::size_t>(cursor), next.length);
    }
    if ((flags & GCS_RESULTSTR) != 0) {
        // The result goes in first, at the selection; a new composition may follow it.
        const LONG bytes = ::ImmGetCompositionStringW(context.get(), GCS_RESULTSTR, nullptr, 0);
        const std::size_t units = bytes > 0 ? static_cast<std::size_t>(bytes) / 2 : 0;
        const auto result = Allocate<char16_t>(units + 1);
        if (result && units > 0) {
            const LONG read = ::ImmGetCompositionStringW(context.get(), GCS_RESULTSTR, result.get(),
                                                         static_cast<DWORD>(units * 2));
            result[std::min(units, static_cast<std::size_t>(std::max<LONG>(read, 0)) / 2)] = 0;
            m_composition.length = 0;
            Commit(result.get());
        }
    }
    SetComposition(next);
}

void CImeEdit::FinishComposition(bool keep) noexcept {
    const ImeContext context(m_hWnd);
    if (context.get() != nullptr) {
        ::ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, keep ? CPS_COMPLETE : CPS_CANCEL, 0);
    }
    // An IME that did not answer leaves nothing behind that would hold Enter back.
    if (!m_composition.Empty()) SetComposition({});
}

CImeEdit::~CImeEdit() = default;

void CImeEdit::StartIme(bool imeMode) noexcept {
    m_immListOpen = m_readPosted = m_candidatesPolled = false;
    m_context.reset(::ImmCreateContext());
    // Without a context of its own the edit keeps the shared one, as before.
    if (m_context) {
        const HIMC own = m_context.get();
        m_replacedContext = ::ImmAssociateContext(m_hWnd, own);
        // The player's, as the thread's shared context holds them; a fresh context's without one.
        const HIMC player = m_replacedContext != nullptr ? m_replacedContext : own;
        m_playerOpen = ::ImmGetOpenStatus(player);
        // Left at none when the context has no IME to ask (the call writes nothing then).
        m_playerConversion = m_playerSentence = 0;
        ::ImmGetConversionStatus(player, &m_playerConversion, &m_playerSentence);
        ::ImmSetConversionStatus(own, m_playerConversion | (imeMode ? IME_CMODE_NATIVE : 0), m_playerSentence);
        ::ImmSetOpenStatus(own, imeMode || m_playerOpen);
    }
    m_tsf.Start(imeMode);
}

void CImeEdit::StopIme() noexcept {
    m_tsf.Stop();
    if (m_context) {
        // An IME that keeps one status for the whole thread (a TSF IME through
        // IMM) takes the player's back from this context too.
        ::ImmSetConversionStatus(m_context.get(), m_playerConversion, m_playerSentence);
        ::ImmSetOpenStatus(m_context.get(), m_playerOpen);
        // Given back before the context goes: the window never points at a freed one.
        ::ImmAssociateContext(m_hWnd, m_replacedContext);
        m_context.reset();
    }
    m_replacedContext = nullptr;
}

void CImeEdit::ScheduleCandidateRead() noexcept {
    if (m_readPosted || m_hWnd == nullptr) return;
    m_readPosted = ::PostMessageW(m_hWnd, kReadCandidatesMessage, 0, 0) != FALSE;
}

void CImeEdit::ReadCandidates() noexcept {
    CandidateView view;
    if (m_immListOpen) {
        const ImeContext context(m_hWnd);
        const DWORD size = context.get() != nullptr ? ::ImmGetCandidateListW(context.get(), 0, nullptr, 0) : 0;
        const auto bytes = Allocate<std::uint8_t>(size > 0 && size <= 0x100000 ? size : 0);
        if (bytes) {
            const DWORD read =
                ::ImmGetCandidateListW(context.get(), 0, reinterpret_cast<CANDIDATELIST*>(bytes.get()), size);
            view = ReadCandidateList(std::span<const std::uint8_t>(bytes.get(), std::min(read, size)));
        }
    }
    // No IMM list and no call of the TSF sink (the game's own sink may come first
    // and its platform may call no other): the IME's element, looked up.
    const bool polled = view.count == 0 && !m_tsf.ShowsSinkElement() && m_tsf.FindCandidateElement(view);
    if (view.count > 0 || m_immListOpen || m_candidatesPolled) SetCandidates(view);
    m_candidatesPolled = polled;
}

void CImeEdit::SetComposition(const Composition& composition) noexcept {
    const bool ended = !m_composition.Empty() && composition.Empty();
    if (m_composition.Empty() && !composition.Empty()) {
        // The composition stands where the edit's caret stands now: the insertion
        // point. The caret then follows the IME's cursor inside the composition.
        POINT caret{};
        ::GetCaretPos(&caret);
        m_compositionX = static_cast<int>(caret.x);
    }
    m_composition = composition;
    if (m_hWnd == nullptr) return;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    if (ended) {
        // The edit puts its own caret back where its selection is.
        const auto [start, end] = GetSel();
        SetSel(start, end);
    }
    Notify(EN_IME_COMPOSITION);
}

void CImeEdit::SetCandidates(const CandidateView& candidates) noexcept {
    m_candidates = candidates;
    if (m_hWnd != nullptr) Notify(EN_IME_CANDIDATES);
}

void CImeEdit::Commit(const char16_t* result) const noexcept {
    // As typing would: the change report then keeps the message within its limit.
    if (m_hWnd != nullptr && result[0] != 0) SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(result));
}

void CImeEdit::ResetIme() noexcept {
    m_composition.length = 0;
    m_candidates.count = 0;
}

std::size_t CImeEdit::BytesIfCommitted() const noexcept {
    const EditText text(m_hWnd);
    if (m_composition.Empty()) return Utf8Length(text.View());
    const auto [start, end] = GetSel();
    return ::BytesIfCommitted(text.View(), static_cast<std::size_t>(start), static_cast<std::size_t>(end),
                              m_composition.Text());
}

void CImeEdit::Notify(unsigned code) const noexcept {
    const WORD id = static_cast<WORD>(GetDlgCtrlID() & 0xFFFF);
    ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(m_hWnd));
}

void CImeEdit::PaintComposition(HDC printing) const noexcept {
    CClientDC client(printing != nullptr ? nullptr : m_hWnd);
    const HDC dc = printing != nullptr ? printing : client.GetSafeHdc();
    if (dc == nullptr) return;
    SelectObjectGuard font(dc, reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT)));
    RECT area{};
    SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    RECT whole{};
    GetClientRect(&whole);

    const Composition& c = m_composition;
    std::array<int, kMaxCompositionUnits> ends{};
    SIZE size{};
    ::GetTextExtentExPointW(dc, Wide(c.text.data()), static_cast<int>(c.length), 0, nullptr, ends.data(), &size);
    // At the insertion point, moved left as far as it takes to show the whole
    // composition: the edit does not scroll for text it does not hold.
    const int x = std::max<int>(area.left, std::min<int>(m_compositionX, area.right - size.cx));
    const int top = area.top;
    const int bottom = std::min<int>(whole.bottom, top + size.cy);
    auto xOf = [&](std::size_t unit) { return x + (unit == 0 ? 0 : ends[unit - 1]); };

    if (printing == nullptr) ::HideCaret(m_hWnd);
    const CDC out(dc);
    // The composition covers what follows the insertion point until it is committed.
    out.FillSolidRect(RECT{x, whole.top, whole.right, whole.bottom}, kEditBackColour);
    std::array<CompositionRun, kMaxCompositionUnits> runs;
    const std::size_t count = CompositionRuns(c.length, std::span(c.attributes).first(c.attributeCount),
                                              std::span(c.clauses).first(c.clauseCount), runs);
    for (const CompositionRun& run : std::span(runs).first(count)) {
        const RECT box{xOf(run.start), top, xOf(run.end), bottom};
        const bool target = run.look == ClauseLook::target;
        const COLORREF ink = target ? kEditBackColour : kEditTextColour;
        ::SetTextColor(dc, ink);
        ::SetBkColor(dc, target ? kEditTextColour : kEditBackColour);
        ::ExtTextOutW(dc, box.left, top, ETO_OPAQUE | ETO_CLIPPED, &box, Wide(c.text.data()) + run.start,
                      static_cast<UINT>(run.end - run.start), nullptr);
        if (target) continue;
        // Converted clauses underlined solid, typed letters dotted; a clause's line
        // stops a pixel short of the next clause.
        const LONG right = box.right - (run.endsClause ? 1 : 0);
        const bool dotted = run.look == ClauseLook::input;
        for (LONG px = box.left; px < right; px += dotted ? 2 : right - px) {
            out.FillSolidRect(RECT{px, bottom - 1, dotted ? px + 1 : right, bottom}, ink);
        }
    }
    if (printing != nullptr) return;
    ::SetCaretPos(xOf(c.cursor), top);
    ::ShowCaret(m_hWnd);
}
