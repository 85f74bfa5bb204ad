#include "tray_icon_win32.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

namespace {
constexpr UINT kIconId = 1;
}

bool TrayIcon::Show(HWND owner, HICON icon, const wchar_t* tip) noexcept {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = kIconId;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon;
    std::wcsncpy(data.szTip, tip, std::size(data.szTip) - 1);
    if (m_owner == owner && ::Shell_NotifyIconW(NIM_MODIFY, &data)) return true;
    if (!::Shell_NotifyIconW(NIM_ADD, &data)) return false;
    m_owner = owner;
    return true;
}

void TrayIcon::Remove() noexcept {
    if (!m_owner) return;
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = m_owner;
    data.uID = kIconId;
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    m_owner = nullptr;
}
