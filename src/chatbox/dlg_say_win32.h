// The chat box: a borderless child dialog over the bottom of the game window with
// a prompt, the message edit and a version label. One object per process; its
// window is created for every opening and destroyed at every closing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "chatbox/ime/ime_candidate_area_win32.h"
#include "chatbox/ime/ime_edit_win32.h"
#include "chatbox/ime/ime_profile_switch_win32.h"
#include "chatbox/layout_switch.h"
#include "chatbox/text_limit.h"
#include "framework/dialog_win32.h"
#include "framework/unique_handle_win32.h"
#include "hook/game_folder.h"

enum class ControlKind;
class CDC;

class CDlgSay : public CDialog {
public:
    CDlgSay() noexcept;
    // Out of line: the static object's end and the vtable share one destructor.
    ~CDlgSay() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // The mod folder that receives the command file, from the process this window
    // lives in.
    GameFolder DetectGameFolder() const;

    // The module leaves a process in which it opened a box only with the process
    // (the opening pins it there), and the windows go with the process: the box
    // and its edit are forgotten, untouched, and the loader's lock is never held
    // for window, focus or registry work.
    void AbandonAtProcessEnd() noexcept;

    CImeEdit m_editMessage;
    std::int32_t m_mode = 0;  // 0 say, 1 say_team, 2 rcon say; set before each creation
    UniqueBrush m_brushBack;
    UniqueBrush m_brushEdit;
    LayoutSwitch m_layoutSwitch;  // the layout the box replaced, restored when it closes
    ImeProfileSwitch m_profileSwitch;  // the same for a text service's profile
    // The game window lacked WS_CLIPCHILDREN and the opening gave it the style; the
    // box's destruction takes it back.
    bool m_gameClipAdded = false;
    CandidateArea m_candidateArea;  // the IME's candidates, shown in the box

protected:
    void DoDataExchange(CDataExchange& dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnEditSetFocus();
    void OnEditKillFocus();
    // Shows the part count and the room left in the version label's place.
    void OnEditChange();
    void OnDestroy();
    void OnPaint();
    // The box's own picture on `target`: the screen's paint, or a copy for the
    // game's frame (WM_PRINTCLIENT).
    void PaintOn(CDC& target);
    HBRUSH OnCtlColor(HDC dc, ControlKind kind) const noexcept;
    // Back to the layout from before the box switched it, when "Auto IME" is on.
    void RestoreLayout() noexcept;
    void SaveHistoryIfRemembered();

    HWND m_versionLabel = nullptr;           // of the current window
    std::wstring m_versionText;              // what the template gives it
    PartsLabel m_labelShown;                 // what the label shows instead of the version, if anything
};

// The process's chat box.
extern CDlgSay theChatBox;
