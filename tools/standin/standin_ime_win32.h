// The stand-in game's IME handling, as the real game's SDL2 layer does it: no
// input context on the game's own window, and the IME's own composition and
// candidate windows switched off for it in WM_IME_SETCONTEXT. A game started
// with --ime <layout name> has that keyboard layout (an IME) active in its
// thread, as a player who switched to the IME before opening the chat box.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Takes the input context off the window. Gives the log line that says so.
std::string TakeImeOffWindow(HWND window);

// Activates the layout in this thread; gives the log line "ime 0x..." or
// "ime-failed <error>".
std::string ActivateImeLayout(const std::wstring& layoutName);

// Asks the game for the thread's active keyboard layout (posted to the game
// window); it logs "layout 0x...". Only the thread itself can tell under Wine.
inline constexpr UINT kReportLayoutMessage = WM_APP + 8;
std::string ActiveLayoutLine();

// WM_IME_SETCONTEXT of the game's window: the IME shows no window of its own for it.
LPARAM WithoutImeWindows(LPARAM showFlags);

}  // namespace standin
