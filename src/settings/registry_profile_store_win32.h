// The profile in the registry: HKEY_CURRENT_USER\Software\<maker>\<profile>, with
// sections as its subkeys. Opening a section creates the maker key, the profile key
// and the section when missing; Software itself is never created. Names and texts
// are UTF-8 here and go through the wide registry API as UTF-16 (strings stay
// REG_SZ), so no ANSI code page stands between the module and what is stored.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "framework/unique_handle_win32.h"
#include "settings/profile_store.h"

class RegistryProfileStore final : public ProfileStore {
public:
    RegistryProfileStore(std::string_view maker, std::string_view profile);
    // The maker and profile of the process's application.
    static RegistryProfileStore ForApp();

    std::optional<std::string> ReadRaw(std::string_view section, std::string_view name) override;
    std::optional<std::uint32_t> ReadInt(std::string_view section, std::string_view name) override;
    bool WriteInt(std::string_view section, std::string_view name, std::uint32_t value) override;
    bool WriteString(std::string_view section, std::string_view name, std::string_view text) override;
    bool KeepOnly(std::string_view section, std::span<const std::string> kept) override;

private:
    // The section's key, opened (and created) through the whole chain only when it
    // is not the one opened last: the module is attached to every process that takes
    // keyboard input, so reading all settings must not reopen the chain per value.
    // The key stays open as long as the store, which callers keep short-lived.
    HKEY OpenSection(std::string_view section) noexcept;

    std::string m_maker;
    std::string m_profile;
    std::string m_openSection;
    UniqueHkey m_sectionKey;
};
