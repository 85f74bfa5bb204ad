#include "chatbox/send_key_win32.h"

#include <windows.h>

void PressSendKey(std::uint16_t virtualKey) noexcept {
    const auto scanCode = static_cast<BYTE>(::MapVirtualKeyA(virtualKey, 0) & 0xFF);
    const auto key = static_cast<BYTE>(virtualKey & 0xFF);
    ::keybd_event(key, scanCode, 0, 0);
    ::keybd_event(key, scanCode, KEYEVENTF_KEYUP, 0);
}
