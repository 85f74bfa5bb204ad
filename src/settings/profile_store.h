// The store below the application key that the settings and the history read and
// write: sections are subkeys of the application key (the empty name is the key
// itself) and hold named strings and 32-bit integers. Opening a section creates
// it when it is missing, for reads as well as writes. Names and texts are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The value's data as text, or nullopt when the section cannot be opened or the
    // value is missing. The registry type is not looked at: the registry's store
    // reads the data as the UTF-16 units the wide API gives and returns them in
    // UTF-8, embedded NULs included.
    virtual std::optional<std::string> ReadRaw(std::string_view section, std::string_view name) = 0;
    // The 4 bytes read little-endian, or nullopt on any failure, data longer than
    // 4 bytes included.
    virtual std::optional<std::uint32_t> ReadInt(std::string_view section, std::string_view name) = 0;
    virtual bool WriteInt(std::string_view section, std::string_view name, std::uint32_t value) = 0;
    // Written as a string value with its terminating NUL.
    virtual bool WriteString(std::string_view section, std::string_view name, std::string_view text) = 0;
    // Removes every value of the section whose name is not one of `kept` (names
    // compared as the store compares them) and every section below it; true when
    // nothing else is left. A store that cannot list what it holds removes nothing
    // and answers false.
    virtual bool KeepOnly(std::string_view section, std::span<const std::string> kept);
};

// How raw value data reads: an integer is at most 4 bytes, little-endian, shorter
// data zero-extended; a string is the data up to its first NUL.
std::optional<std::uint32_t> DecodeProfileInt(std::span<const std::byte> data) noexcept;
std::string DecodeProfileString(std::string_view data);

std::uint32_t ProfileGetInt(ProfileStore& store, std::string_view section, std::string_view name,
                            std::uint32_t defaultValue);
std::string ProfileGetString(ProfileStore& store, std::string_view section, std::string_view name,
                             std::string_view defaultValue = {});
bool ProfileSetInt(ProfileStore& store, std::string_view section, std::string_view name,
                   std::uint32_t value);
bool ProfileSetString(ProfileStore& store, std::string_view section, std::string_view name,
                      std::string_view text);
