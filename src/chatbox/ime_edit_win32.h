// The message edit as an IME's window: the box shows the composition and the
// candidates itself, in its own colours and font, because the IME's own windows
// do not show over a game (they are top-level popups, and the game may hide them).
// The edit takes the composition messages away from the standard edit, so that
// neither Windows' edit (which leaves the composition to the IME's window) nor
// Wine's (which draws it inline) shows it as well; it commits the results itself.
#pragma once

#include <cstddef>
#include <string_view>

#include "chatbox/candidate_list.h"
#include "chatbox/composition.h"
#include "chatbox/history_edit_win32.h"

#include <imm.h>

// Notifications to the dialog, as EN_KEY_ENTER: the composition changed (the room
// left counts it), the candidates changed (the box shows, moves or drops them).
inline constexpr unsigned EN_IME_COMPOSITION = 0x1003;
inline constexpr unsigned EN_IME_CANDIDATES = 0x1004;

// The input context of a window, released when the object goes.
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

class CImeEdit : public CHistoryEdit {
public:
    const Composition& GetComposition() const noexcept { return m_composition; }
    // No entries while the IME offers none.
    const CandidateView& Candidates() const noexcept { return m_candidates; }

    // What the IME reports, from its messages or its TSF element; each tells the
    // dialog. Nothing while no window is bound.
    void SetComposition(const Composition& composition) noexcept;
    void SetCandidates(const CandidateView& candidates) noexcept;
    // The IME's result (NUL-terminated), typed in at the selection as a paste would be.
    void Commit(const char16_t* result) const noexcept;
    // Forgets the last window's IME state: a new window starts with none.
    void ResetIme() noexcept;

    // The message's bytes once the composition is committed.
    std::size_t BytesIfCommitted() const noexcept;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnImeComposition(LPARAM flags) noexcept;
    // Enter or Escape while composing: the IME commits (keep) or drops the composition.
    void FinishComposition(bool keep) noexcept;
    void ReadImmCandidates() noexcept;
    // On the edit's screen, or on `printing` when given.
    void PaintComposition(HDC printing) const noexcept;
    void Notify(unsigned code) const noexcept;

    Composition m_composition;
    int m_compositionX = 0;  // where the edit's caret stood when the composition began
    CandidateView m_candidates;
};
