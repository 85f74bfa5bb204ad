// The host's icon in the notification area, shown while "Minimize to Tray" is on.
#pragma once

#include <windows.h>

class TrayIcon {
public:
    // The callback message the owner receives; lParam is the mouse message.
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { Remove(); }

    // Adds the icon, or adds it again after Explorer restarted; true when shown.
    bool Show(HWND owner, HICON icon, const wchar_t* tip) noexcept;
    void Remove() noexcept;
    bool Shown() const noexcept { return m_owner != nullptr; }

private:
    HWND m_owner = nullptr;
};
