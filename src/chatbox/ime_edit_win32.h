// The message edit as an IME's window: the box shows the composition and the
// candidates itself, in its own colours and font, because the IME's own windows
// do not show over a game (they are top-level popups, and the game may hide them).
// The edit takes the composition messages away from the standard edit, so that
// neither Windows' edit (which leaves the composition to the IME's window) nor
// Wine's (which draws it inline) shows it as well; it commits the results itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chatbox/candidate_list.h"
#include "chatbox/history_edit_win32.h"

// Notifications to the dialog, as EN_KEY_ENTER: the composition changed (the room
// left counts it), the candidates changed (the box shows, moves or drops them).
inline constexpr unsigned EN_IME_COMPOSITION = 0x1003;
inline constexpr unsigned EN_IME_CANDIDATES = 0x1004;

// The IME's composition: empty text while none is going on.
struct Composition {
    std::u16string text;
    std::vector<std::uint8_t> attributes;  // one per unit, as the IME gives them
    std::vector<std::uint32_t> clauses;    // clause offsets, 0 to the length
    std::size_t cursor = 0;                // where the IME puts the caret, in units
};

class CImeEdit : public CHistoryEdit {
public:
    const Composition& GetComposition() const noexcept { return m_composition; }
    const std::optional<CandidateView>& Candidates() const noexcept { return m_candidates; }

    // What the IME reports, from its messages or its TSF element; each tells the
    // dialog. Nothing while no window is bound.
    void SetComposition(Composition composition);
    void SetCandidates(std::optional<CandidateView> candidates);
    // The IME's result, typed in at the selection as a paste would be.
    void Commit(std::u16string_view result) const noexcept;
    // Forgets the last window's IME state: a new window starts with none.
    void ResetIme() noexcept;

    // The message's bytes once the composition is committed.
    std::size_t BytesIfCommitted() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnImeComposition(LPARAM flags);
    void ReadImmCandidates();
    void PaintComposition() const;
    // The x of the caret before character `index` of the edit's text.
    int CharacterX(const std::wstring& text, int index, HDC dc, int left) const;
    void Notify(unsigned code) const noexcept;

    Composition m_composition;
    std::optional<CandidateView> m_candidates;
};
