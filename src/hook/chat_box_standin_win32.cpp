// Temporary: lets the hook layer link before the chat box exists. Removed by the
// commit that adds the real chat box opener.
#include "hook/chat_box_win32.h"

HWND ChatBoxWindow() noexcept { return nullptr; }

bool OpenChatBox(HWND, int) noexcept { return false; }
