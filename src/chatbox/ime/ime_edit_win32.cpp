#include "chatbox/ime/ime_edit_win32.h"

#include <imm.h>

LRESULT CImeEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_IME_SETCONTEXT:
        // The box draws the composition and the candidates: the IME's windows stay
        // hidden. Every other flag stays: an IME that loses ISC_SHOWUIGUIDELINE (or
        // gets 0) may stop announcing its candidates at all.
        if (wParam != 0) lParam &= ~static_cast<LPARAM>(ISC_SHOWUICOMPOSITIONWINDOW | ISC_SHOWUIALLCANDIDATEWINDOW);
        break;
    case WM_IME_STARTCOMPOSITION:
        return 0;
    case WM_IME_COMPOSITION:
        // Not passed on: the result would come again as characters, and Wine's
        // edit would draw the composition inside the text.
        OnImeComposition(lParam);
        ScheduleCandidateRead();
        return 0;
    case WM_IME_ENDCOMPOSITION:
        SetComposition({});
        return 0;
    case WM_IME_NOTIFY:
        if (wParam == IMN_OPENCANDIDATE || wParam == IMN_CHANGECANDIDATE) {
            m_immListOpen = true;
            ScheduleCandidateRead();
            return 0;
        }
        if (wParam == IMN_CLOSECANDIDATE) {
            m_immListOpen = false;
            m_candidatesPolled = false;
            SetCandidates({});
            return 0;
        }
        break;
    case kReadCandidatesMessage:
        m_readPosted = false;
        ReadCandidates();
        return 0;
    case WM_DESTROY:
        StopIme();
        break;
    case WM_KEYDOWN:
        // An IME takes Enter and Escape while it composes (they arrive as
        // VK_PROCESSKEY); one that lets them through still only finishes or drops
        // the composition, and never sends or closes the box.
        if (!m_composition.Empty() && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
            FinishComposition(wParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
        const LRESULT result = CHistoryEdit::WindowProc(message, wParam, lParam);
        // A print (the box's picture for the game's frame) draws on the given
        // context and leaves the caret where it is.
        if (!m_composition.Empty()) PaintComposition(message == WM_PRINTCLIENT ? reinterpret_cast<HDC>(wParam) : nullptr);
        return result;
    }
    default:
        break;
    }
    return CHistoryEdit::WindowProc(message, wParam, lParam);
}

