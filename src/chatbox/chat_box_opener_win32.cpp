// Opening the process's chat box over the game window, for the hook.
#include "chatbox/dialog_rules.h"
#include "chatbox/dlg_say_win32.h"
#include "hook/chat_box_win32.h"

HWND ChatBoxWindow() noexcept { return theChatBox.m_hWnd; }

HWND ChatBoxEdit() noexcept { return theChatBox.m_editMessage.m_hWnd; }

void RefocusChatBox() noexcept {
    // The focus gain switches to the IME again; the layout to restore stays the
    // player's own from before the opening's first switch.
    if (theChatBox.m_editMessage.m_hWnd != nullptr) ::SetFocus(theChatBox.m_editMessage.m_hWnd);
}

bool OpenChatBox(HWND game, int mode) noexcept {
    if (theChatBox.m_hWnd != nullptr) {
        theChatBox.DestroyWindow();
        // A window that would not go stays bound; a second one could not be.
        if (theChatBox.m_hWnd != nullptr) return false;
    }
    theChatBox.m_mode = mode;
    if (!theChatBox.Create(game)) return false;
    if (theChatBox.m_editMessage.m_hWnd == nullptr) {
        // An edit that could not be bound takes no typing: no box is better than a
        // box that strands the player.
        theChatBox.DestroyWindow();
        return false;
    }

    RECT client{};
    ::GetClientRect(game, &client);
    RECT box{};
    theChatBox.GetWindowRect(&box);
    const Point place = PlaceChatBox(Rect{static_cast<int>(client.left), static_cast<int>(client.top),
                                          static_cast<int>(client.right), static_cast<int>(client.bottom)},
                                     static_cast<int>(box.right - box.left), static_cast<int>(box.bottom - box.top));
    theChatBox.SetWindowPos(nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ::SetFocus(theChatBox.m_editMessage.m_hWnd);
    return true;
}
