// The host's settings window: a modeless dialog that lives as long as the program,
// hidden in the tray or minimized when not in use. It owns the tray icon and tells
// the module about changed hot keys at once.
#pragma once

#include <windows.h>

#include "framework/dialog_win32.h"
#include "hook_module_win32.h"
#include "settings/app_settings.h"
#include "tray_icon_win32.h"

// Whether the user's Run key starts a program that exists, quoted or not: "Start
// at logon" as the host shows it.
bool ReadHostAutoRun() noexcept;

class CHostWindow final : public CDialog {
public:
    // The dialog template's own class: a second start finds the running window by it.
    static constexpr const wchar_t* kClassName = L"ParlixHostWindow";
    static bool RegisterWindowClass(HINSTANCE instance) noexcept;
    // What a second start posts to the running window to bring it up.
    static UINT ShowRequestMessage() noexcept;

    CHostWindow(HookModule& hook, const CAppSettings& saved, bool autoRun) noexcept;

    // Creates the window and shows it, or keeps it in the tray or minimized.
    bool Open(bool startMinimized) noexcept;
    void BringUp() noexcept;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() noexcept override;

private:
    void FillControls();
    // The choices in the window; false with a message for the user when one of them
    // cannot be saved as it is.
    bool ReadControls(CAppSettings& settings, bool& autoRun, std::wstring& problem);
    bool Save();
    void OnBrowse();
    void OnSetUpGame();
    void OnTrayNotify(LPARAM mouseMessage);
    void ShowTrayMenu();
    void MinimizeAway();
    void ApplyTray();
    void UpdateStatus();
    void OnEndSession();
    void Exit();
    int Tell(const std::wstring& text, UINT icon) const noexcept;

    HookModule& m_hook;
    CAppSettings m_saved;
    bool m_autoRun;
    TrayIcon m_tray;
    UINT m_taskbarCreated = 0;
    UINT m_showRequest = 0;
    HICON m_icon = nullptr;
    bool m_elevated = false;
};
