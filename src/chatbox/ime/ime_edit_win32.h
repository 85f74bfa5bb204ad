// The message edit as an IME's window: the box shows the composition and the
// candidates itself, in its own colours and font, because the IME's own windows
// do not show over a game (they are top-level popups, and the game may hide them).
// The edit takes the composition messages away from the standard edit, so that
// neither Windows' edit (which leaves the composition to the IME's window) nor
// Wine's (which draws it inline) shows it as well; it commits the results itself.
#pragma once

#include <cstddef>
#include <string_view>

#include "chatbox/ime/ime_candidates.h"
#include "chatbox/ime/ime_composition.h"
#include "chatbox/history_edit_win32.h"
#include "chatbox/ime/ime_tsf_win32.h"
#include "framework/unique_handle_win32.h"

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

inline void DestroyImeContext(HIMC context) noexcept { ::ImmDestroyContext(context); }
using UniqueImeContext = UniqueHandle<HIMC, DestroyImeContext>;

class CImeEdit : public CHistoryEdit {
public:
    // Out of line, in a file built without unwind tables: one copy, and none of
    // the tables an inline copy would bring into the dialog's files.
    ~CImeEdit() override;
    // The box opened with this edit bound: an input context of its own (an SDL2
    // game cancels the composition on the thread's default context whenever its
    // text input stops, and that context is every window's that has none of its
    // own) and the TSF sink. Both go with the edit's window. The context starts
    // from the player's IME status and mode, or, with `imeMode`, open in the
    // IME's native mode; the player's are given back when the window goes.
    void StartIme(bool imeMode) noexcept;
    HIMC OwnContext() const noexcept { return m_context.get(); }

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

    TsfCandidates m_tsf{*this};  // where a TSF IME offers its candidates, while the box is open

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Posted by the edit to itself; no other window gets it.
    static constexpr UINT kReadCandidatesMessage = WM_APP + 0x2E1;

    void OnImeComposition(LPARAM flags) noexcept;
    // Enter or Escape while composing: the IME commits (keep) or drops the composition.
    void FinishComposition(bool keep) noexcept;
    // The IME announced candidates (or changed its composition): they are read
    // once its message has been handled, as some IMEs fill the list only then.
    void ScheduleCandidateRead() noexcept;
    void ReadCandidates() noexcept;
    void StopIme() noexcept;
    // On the edit's screen, or on `printing` when given.
    void PaintComposition(HDC printing) const noexcept;
    void Notify(unsigned code) const noexcept;

    Composition m_composition;
    int m_compositionX = 0;  // where the edit's caret stood when the composition began
    CandidateView m_candidates;
    UniqueImeContext m_context;
    HIMC m_replacedContext = nullptr;  // the context the edit had before its own
    BOOL m_playerOpen = FALSE;         // the player's IME status and modes, given back at the end
    DWORD m_playerConversion = 0;
    DWORD m_playerSentence = 0;
    bool m_immListOpen = false;        // between IMN_OPENCANDIDATE and IMN_CLOSECANDIDATE
    bool m_readPosted = false;
    bool m_candidatesPolled = false;   // what shows came from a TSF element found without its sink
};
