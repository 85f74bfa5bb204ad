#include "settings/key_names.h"

#include <array>
#include <cstddef>

#include "common/ascii.h"

namespace {

constexpr std::array<KeyNameEntry, 22> kKeyNames{{
    {"Y", 0x59},      {"U", 0x55},       {"I", 0x49},      {"P", 0x50},      {"F1", 0x70},
    {"F2", 0x71},     {"F3", 0x72},      {"F4", 0x73},     {"F5", 0x74},     {"F6", 0x75},
    {"F7", 0x76},     {"F8", 0x77},      {"F9", 0x78},     {"F10", 0x79},    {"F11", 0x7A},
    {"F12", 0x7B},    {"Insert", 0x2D},  {"Delete", 0x2E}, {"Home", 0x24},   {"End", 0x23},
    {"Page Up", 0x21}, {"Page Dn", 0x22},
}};

}  // namespace

std::span<const KeyNameEntry> KeyNameTable() noexcept { return kKeyNames; }

std::uint16_t LookupVirtualKey(std::string_view name) noexcept {
    for (const KeyNameEntry& entry : kKeyNames) {
        if (EqualIgnoringAsciiCase(name, entry.name)) return entry.code;
    }
    return 0;
}

bool IsExtendedKey(std::uint16_t virtualKey) noexcept {
    switch (virtualKey & 0xFF) {
    case 0x2D:  // Insert
    case 0x2E:  // Delete
    case 0x24:  // Home
    case 0x23:  // End
    case 0x21:  // Page Up
    case 0x22:  // Page Dn
        return true;
    default:
        return false;
    }
}
