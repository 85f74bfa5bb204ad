#include "chatbox/history_edit_win32.h"

#include "chatbox/edit_rules.h"
#include "chatbox/message_parts.h"
#include "chatbox/text_limit.h"
#include "common/utf8.h"
#include "framework/wide_text_win32.h"
#include "settings/app_settings_instance.h"
#include "settings/registry_profile_store_win32.h"

CHistoryEdit::~CHistoryEdit() = default;

void CHistoryEdit::AddToHistory(std::string_view text) {
    HistoryList::AddToHistory(text, GetAppSettings().m_nMaxHistoryItems);
}

std::int32_t CHistoryEdit::LoadHistory() {
    RegistryProfileStore store = RegistryProfileStore::ForApp();
    return HistoryList::LoadHistory(store, GetAppSettings().m_nMaxHistoryItems);
}

std::int32_t CHistoryEdit::SaveHistory() {
    RegistryProfileStore store = RegistryProfileStore::ForApp();
    return HistoryList::SaveHistory(store);
}

LRESULT CHistoryEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN) {
        // Read at every key: the setting may differ between processes, never cached.
        const bool remember = GetAppSettings().m_bRememberHistory != 0;
        const auto size = static_cast<std::int32_t>(m_history.size());
        const NavigationStep step = Navigate(static_cast<unsigned>(wParam), m_historyIndex, size, remember);
        switch (step.kind) {
        case NavigationStep::show:
            ShowEntry(step.index);
            return 0;
        case NavigationStep::consumed:
            return 0;
        case NavigationStep::notNavigation:
            break;
        }
    }
    return CKeyForwardEdit::WindowProc(message, wParam, lParam);
}

bool CHistoryEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT*) {
    if (message != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
    KeepWithinLimit();
    if (auto index = IndexAfterChange(m_settingText != FALSE, static_cast<std::int32_t>(m_history.size()))) {
        m_historyIndex = *index;
    }
    // The dialog sees the change as well: it shows the room left.
    return false;
}

void CHistoryEdit::KeepWithinLimit() {
    // Typing, pasting and the IME's results all end up here, after the edit took
    // them in: what does not fit goes again before anything is sent, so the text
    // sent is always the text shown.
    const std::wstring text = GetWindowTextW();
    const auto caret = static_cast<std::size_t>(GetSel().second);
    const std::optional<UnitRange> excess = ExcessOfText(AsUtf16(text), caret);
    if (!excess) return;
    // Reports a change of its own, which then fits.
    SetSel(static_cast<int>(excess->start), static_cast<int>(excess->end));
    SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void CHistoryEdit::ShowEntry(std::int32_t index) {
    m_historyIndex = index;
    // The edit reports this change through EN_CHANGE inside SetWindowText; the flag
    // keeps that report from resetting the index just set.
    m_settingText = TRUE;
    // An entry stored before the limit, or by hand, may be longer than a message
    // may be: the edit shows, and so sends, only what fits.
    const std::string& entry = m_history[static_cast<size_t>(index)];
    SetWindowText(std::string_view(entry).substr(0, MessagePrefixLength(entry)));
    m_settingText = FALSE;
    SetSel(0, -1);
    ScrollCaret();
}
