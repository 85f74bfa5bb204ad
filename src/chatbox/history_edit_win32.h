// The message edit with the list of earlier messages, walked with Up and Down
// like a console's command history.
#pragma once

#include <string_view>

#include "chatbox/history_list.h"
#include "chatbox/key_forward_edit_win32.h"

class CHistoryEdit : public CKeyForwardEdit, public HistoryList {
public:
    // Out of line: one copy of the destructor's variants for every class built on it.
    ~CHistoryEdit() override;

    using HistoryList::AddToHistory;
    // Records a sent message, trimmed to "Max History Items".
    void AddToHistory(std::string_view text);
    // Merge the stored history into the list, and rewrite the store from it.
    std::int32_t LoadHistory();
    std::int32_t SaveHistory();

    BOOL m_settingText = FALSE;  // TRUE only while navigation replaces the text

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    void ShowEntry(std::int32_t index);
    // Takes out what the last change brought beyond the message limit.
    void KeepWithinLimit();
};
