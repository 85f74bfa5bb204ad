#include "chatbox/history_edit_win32.h"

#include "chatbox/edit_rules.h"
#include "settings/app_settings.h"
#include "settings/registry_profile_store_win32.h"

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

bool CHistoryEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message != WM_COMMAND || HIWORD(wParam) != EN_CHANGE) return false;
    if (auto index = IndexAfterChange(m_settingText != FALSE, static_cast<std::int32_t>(m_history.size()))) {
        m_historyIndex = *index;
    }
    *result = 0;
    return true;
}

void CHistoryEdit::ShowEntry(std::int32_t index) {
    m_historyIndex = index;
    // The edit reports this change through EN_CHANGE inside SetWindowText; the flag
    // keeps that report from resetting the index just set.
    m_settingText = TRUE;
    SetWindowText(m_history[static_cast<size_t>(index)].c_str());
    m_settingText = FALSE;
    SetSel(0, -1);
    ScrollCaret();
}
