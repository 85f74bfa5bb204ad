// What the hook asks of the chat box: whether the process already shows one, and
// opening one over the game window. Both run in the game's UI thread inside the
// hook procedure, so neither may throw.
#pragma once

#include <windows.h>

// The process's chat box window, or null when none was created (or it was destroyed).
HWND ChatBoxWindow() noexcept;
// Its message edit, or null.
HWND ChatBoxEdit() noexcept;
// Gives the open box's edit the keyboard focus again.
void RefocusChatBox() noexcept;

// Pins the module in the process (it stays until the process ends), destroys a
// hidden leftover box, takes `mode` (the HotKeyMode value as an int) as
// the box's m_mode, creates the box from IDD_SAY as a child of `game`, places it with
// PlaceChatBox, shows it with SetWindowPos(SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW)
// and gives the message edit the focus. False when the box could not be created.
bool OpenChatBox(HWND game, int mode) noexcept;
