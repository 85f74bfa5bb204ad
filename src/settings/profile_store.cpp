#include "settings/profile_store.h"

bool ProfileStore::KeepOnly(std::string_view, std::span<const std::string>) { return false; }

std::optional<std::uint32_t> DecodeProfileInt(std::span<const std::byte> data) noexcept {
    if (data.size() > 4) return std::nullopt;  // the 4-byte buffer of the read is too small
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i)
        value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    return value;
}

std::string DecodeProfileString(std::string_view data) {
    return std::string(data.substr(0, data.find('\0')));
}

std::uint32_t ProfileGetInt(ProfileStore& store, std::string_view section, std::string_view name,
                            std::uint32_t defaultValue) {
    return store.ReadInt(section, name).value_or(defaultValue);
}

std::string ProfileGetString(ProfileStore& store, std::string_view section, std::string_view name,
                             std::string_view defaultValue) {
    // A value that exists with empty text is the empty text, not the default.
    if (auto data = store.ReadRaw(section, name)) return DecodeProfileString(*data);
    return std::string(defaultValue);
}

bool ProfileSetInt(ProfileStore& store, std::string_view section, std::string_view name,
                   std::uint32_t value) {
    return store.WriteInt(section, name, value);
}

bool ProfileSetString(ProfileStore& store, std::string_view section, std::string_view name,
                      std::string_view text) {
    return store.WriteString(section, name, text);
}
