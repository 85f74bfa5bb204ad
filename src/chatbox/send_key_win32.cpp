#include "chatbox/send_key_win32.h"

#include <windows.h>

#include "settings/key_names.h"

void PressSendKey(std::uint16_t virtualKey) noexcept {
    const auto scanCode = static_cast<BYTE>(::MapVirtualKeyA(virtualKey, 0) & 0xFF);
    const auto key = static_cast<BYTE>(virtualKey & 0xFF);
    // The game tells Insert from the keypad's Insert by this flag alone.
    const DWORD extended = IsExtendedKey(virtualKey) ? KEYEVENTF_EXTENDEDKEY : 0;
    ::keybd_event(key, scanCode, extended, 0);
    ::keybd_event(key, scanCode, extended | KEYEVENTF_KEYUP, 0);
}
