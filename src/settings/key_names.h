// The key names the settings may hold, with their virtual-key codes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct KeyNameEntry {
    const char* name;
    std::uint16_t code;
};

// The 22 rows, in lookup order.
std::span<const KeyNameEntry> KeyNameTable() noexcept;

// The code of the first row whose name equals the given one as a whole, ASCII
// letter case aside; 0 when none does. Nothing is trimmed.
std::uint16_t LookupVirtualKey(std::string_view name) noexcept;

// Insert, Delete, Home, End, Page Up and Page Dn: the keys of the table that
// share their scan codes with the keypad's keys and are told apart from them by
// the extended-key flag alone. The game reads that flag: without it a press of
// Insert is the keypad's Insert, and a bind of "INS" never fires.
bool IsExtendedKey(std::uint16_t virtualKey) noexcept;
