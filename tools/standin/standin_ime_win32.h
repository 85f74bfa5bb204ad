// The stand-in game's IME handling, as the real game's SDL2 layer does it: no
// input context on the game's own window, and the IME's own composition and
// candidate windows switched off for it in WM_IME_SETCONTEXT. A game started
// with --ime <layout name> has that keyboard layout (an IME) active in its
// thread, as a player who switched to the IME before opening the chat box.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Takes the input context off the window, keeping it for SetTextInput (as SDL2
// keeps the window's context when its IME starts). Gives the log line that says so.
std::string TakeImeOffWindow(HWND window);

// SDL_StartTextInput (on) and SDL_StopTextInput (off) on the game window, as
// SDL2 plays them: stopping cancels the composition, empties it and closes the
// candidates on the window's input context (the thread's default context, which
// every window without a context of its own shares), then takes the context off
// the window; starting gives the window its context back. Gives "textinput on"
// or "textinput off". A test posts kTextInputMessage with wParam 1 or 0.
inline constexpr UINT kTextInputMessage = WM_APP + 23;
std::string SetTextInput(HWND window, bool on);

// The player's IME status, on the thread's default context (which the game
// window keeps while SDL's text input is off): kImeOpenMessage with wParam 0
// closes the IME, 1 opens it, 2 only asks. Gives "ime-open <0|1>" as it then is.
inline constexpr UINT kImeOpenMessage = WM_APP + 24;
std::string PlayerImeOpen(WPARAM action);

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
