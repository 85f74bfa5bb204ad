// The chat box: a borderless child dialog over the bottom of the game window with
// a prompt, the message edit and a version label. One object per process; its
// window is created for every opening and destroyed at every closing.
#pragma once

#include <cstdint>

#include "chatbox/history_edit_win32.h"
#include "framework/dialog_win32.h"
#include "framework/unique_handle_win32.h"
#include "hook/game_folder.h"

enum class ControlKind;

// The code page the module's UTF-16 strings are shown in, decided once per process.
UINT GetAnsiCodePage() noexcept;

class CDlgSay : public CDialog {
public:
    CDlgSay() noexcept;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The mod folder that receives the command file, from the process this window
    // lives in.
    GameFolder DetectGameFolder() const;

    CHistoryEdit m_editMessage;
    std::int32_t m_mode = 0;  // 0 say, 1 say_team, 2 rcon say; set before each creation
    UniqueBrush m_brushBack;
    UniqueBrush m_brushEdit;
    HKL m_hklPrevious = nullptr;  // the layout the box replaced, restored when it closes

protected:
    void DoDataExchange(CDataExchange& dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnEditSetFocus();
    void OnEditKillFocus();
    void OnDestroy();
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, ControlKind kind) const noexcept;
    // Back to the layout from before the box switched it, when "Auto IME" is on.
    void RestoreLayout() const noexcept;
};

// The process's chat box.
extern CDlgSay theChatBox;
