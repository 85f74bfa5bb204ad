// Opening the process's chat box over the game window, for the hook.
#include <atomic>

#include "chatbox/dialog_rules.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/frame_overlay_win32.h"
#include "hook/chat_box_win32.h"

namespace {

// Once the module shows a box in a process it stays there until the process ends.
// The system unloads a hook module from a thread lazily, at whatever message the
// thread takes next after the hook went away: inside the box's error message
// loop, or while a box of another thread is painting, the code being run would
// vanish. Pinned, it never does; the cost is that the file stays in use until
// the game exits. The hook itself goes with the host all the same.
bool PinModuleInProcess() noexcept {
    static std::atomic<bool> pinned{false};
    if (pinned.load(std::memory_order_relaxed)) return true;
    HMODULE module = nullptr;
    // Any address inside the module names it; the box object is one.
    const BOOL done = ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                           reinterpret_cast<LPCWSTR>(&theChatBox), &module);
    pinned.store(done != FALSE, std::memory_order_relaxed);
    return done != FALSE;
}

}  // namespace

HWND ChatBoxWindow() noexcept { return theChatBox.m_hWnd; }

HWND ChatBoxEdit() noexcept { return theChatBox.m_editMessage.m_hWnd; }

void RefocusChatBox() noexcept {
    // The focus gain switches to the IME again; the layout to restore stays the
    // player's own from before the opening's first switch.
    if (theChatBox.m_editMessage.m_hWnd != nullptr) ::SetFocus(theChatBox.m_editMessage.m_hWnd);
}

namespace {

// The box reached through a reference rather than by the global's name: each use
// of the name is an absolute address the loader has to relocate.
[[gnu::noipa]] bool OpenBox(CDlgSay& theChatBox, HWND game, int mode) noexcept {
    // A module that could be unloaded under a box opens none: the key goes on.
    if (!PinModuleInProcess()) return false;
    if (theChatBox.m_hWnd != nullptr) {
        theChatBox.DestroyWindow();
        // A window that would not go stays bound; a second one could not be.
        if (theChatBox.m_hWnd != nullptr) return false;
    }
    theChatBox.m_mode = mode;
    // A game that renders its whole client area every frame paints over a child
    // window unless its window clips its children: it does so while the box is
    // open (the box's destruction takes a style it added back).
    const LONG_PTR style = ::GetWindowLongPtrW(game, GWL_STYLE);
    const bool addClip = style != 0 && (style & WS_CLIPCHILDREN) == 0;
    if (addClip) ::SetWindowLongPtrW(game, GWL_STYLE, style | WS_CLIPCHILDREN);
    theChatBox.m_gameClipAdded = addClip;
    if (!theChatBox.Create(game)) {
        if (addClip) ::SetWindowLongPtrW(game, GWL_STYLE, style);
        theChatBox.m_gameClipAdded = false;
        return false;
    }
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
    // Over a game that renders with OpenGL the child is not seen: its picture goes
    // into the game's frames as well, until the box goes.
    StartFrameOverlay(game, theChatBox.m_hWnd);
    return true;
}

}  // namespace

bool OpenChatBox(HWND game, int mode) noexcept { return OpenBox(theChatBox, game, mode); }
