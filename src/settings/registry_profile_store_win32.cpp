#include "settings/registry_profile_store_win32.h"

#include <limits>

#include "framework/wide_text_win32.h"
#include "framework/win_app_win32.h"
#include "settings/registry_tree_win32.h"

namespace {

constexpr REGSAM kProfileAccess = KEY_READ | KEY_WRITE;

UniqueHkey CreateSubkey(HKEY parent, std::string_view name) {
    UniqueHkey key;
    if (::RegCreateKeyExW(parent, WideFromUtf8(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kProfileAccess,
                          nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        key.reset();
    }
    return key;
}

}  // namespace

RegistryProfileStore::RegistryProfileStore(std::string_view maker, std::string_view profile)
    : m_maker(maker), m_profile(profile) {}

RegistryProfileStore RegistryProfileStore::ForApp() {
    const CWinApp* app = AfxGetApp();
    if (!app) return RegistryProfileStore({}, {});
    return RegistryProfileStore(app->RegistryKey(), app->ProfileName());
}

HKEY RegistryProfileStore::OpenSection(std::string_view section) noexcept {
    if (m_sectionKey && section == m_openSection) return m_sectionKey.get();
    m_sectionKey.reset();
    // Without a maker or profile the chain would end at Software itself.
    if (m_maker.empty() || m_profile.empty()) return nullptr;
    try {
        UniqueHkey software;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, kProfileAccess, software.put()) != ERROR_SUCCESS)
            return nullptr;
        UniqueHkey maker = CreateSubkey(software.get(), m_maker);
        if (!maker) return nullptr;
        software.reset();
        UniqueHkey product = CreateSubkey(maker.get(), m_profile);
        if (!product) return nullptr;
        maker.reset();
        // The empty section is the profile key itself.
        UniqueHkey key = section.empty() ? std::move(product) : CreateSubkey(product.get(), section);
        if (!key) return nullptr;
        m_openSection.assign(section);
        m_sectionKey = std::move(key);
        return m_sectionKey.get();
    } catch (...) {
        m_sectionKey.reset();  // no memory for a name: the read or write fails
        return nullptr;
    }
}

std::optional<std::string> RegistryProfileStore::ReadRaw(std::string_view section, std::string_view name) {
    const HKEY key = OpenSection(section);
    if (!key) return std::nullopt;
    try {
        const std::wstring valueName = WideFromUtf8(name);
        DWORD size = 0;
        if (::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        // The wide API gives a string value as the UTF-16 units the registry keeps;
        // an odd last byte is no unit and is left out.
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (size != 0 &&
            ::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                               &size) != ERROR_SUCCESS) {
            return std::nullopt;  // the value grew or went away between the two queries
        }
        data.resize(size / sizeof(wchar_t));
        return Utf8FromWide(data);
    } catch (...) {
        return std::nullopt;  // a value too large for memory reads as missing
    }
}

std::optional<std::uint32_t> RegistryProfileStore::ReadInt(std::string_view section, std::string_view name) {
    const HKEY key = OpenSection(section);
    if (!key) return std::nullopt;
    std::byte data[4]{};
    DWORD size = sizeof data;
    // Longer data does not fit the 4 bytes and fails the query.
    if (::RegQueryValueExW(key, WideFromUtf8(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS)
        return std::nullopt;
    return DecodeProfileInt(std::span<const std::byte>(data, size));
}

bool RegistryProfileStore::WriteInt(std::string_view section, std::string_view name, std::uint32_t value) {
    const HKEY key = OpenSection(section);
    if (!key) return false;
    const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                          static_cast<BYTE>(value >> 24)};
    return ::RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, REG_DWORD, data, sizeof data) == ERROR_SUCCESS;
}

bool RegistryProfileStore::WriteString(std::string_view section, std::string_view name, std::string_view text) {
    const HKEY key = OpenSection(section);
    if (!key) return false;
    // UTF-16, as the registry keeps every string value: text of the ANSI code page
    // is stored exactly as the ANSI API would have stored it, any other text too.
    const std::wstring data = WideFromUtf8(text);
    if (data.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t) - 1) return false;
    return ::RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryProfileStore::KeepOnly(std::string_view section, std::span<const std::string> kept) {
    if (section.empty()) return false;  // never the values of the whole profile
    const HKEY key = OpenSection(section);
    return key != nullptr && RemoveAllValuesAndSubkeysBut(key, kept);
}
