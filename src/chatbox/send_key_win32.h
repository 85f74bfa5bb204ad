// The synthetic press of the send key that makes the game run the command file.
#pragma once

#include <cstdint>

// A key-down and, at once, a key-up of the key named by the code's low byte, with
// the scan code the keyboard layout gives it, and the extended-key flag for the
// six keys that need it (IsExtendedKey). Code 0 is pressed as well.
void PressSendKey(std::uint16_t virtualKey) noexcept;
