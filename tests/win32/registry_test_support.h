// Registry set-up for the Win32 tests, with plain registry calls (never the code
// under test). They run in a test prefix: every case starts and ends without
// HKCU\Software\Kelvandor and the Run value "Parlix".
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

inline constexpr const char* kAppKey = "Software\\Kelvandor\\Parlix";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

inline void PutValue(const std::string& path, const char* name, DWORD type, std::string_view data) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    if (name) ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
    ::RegCloseKey(key);
}
inline void CreateKey(const std::string& path) { PutValue(path, nullptr, 0, {}); }
inline void PutString(const std::string& path, const char* name, std::string_view text) {
    PutValue(path, name, REG_SZ, std::string(text) + '\0');
}
inline void PutDword(const std::string& path, const char* name, DWORD value) {
    PutValue(path, name, REG_DWORD, std::string_view(reinterpret_cast<const char*>(&value), sizeof value));
}

// The value's bytes as stored; empty when missing.
inline std::string GetBytes(const std::string& path, const char* name) {
    std::string data(4096, '\0');
    DWORD size = DWORD(data.size());
    if (::RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, nullptr, data.data(),
                       &size) != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

// The names of the values and subkeys below path, subkeys with a trailing backslash.
inline std::set<std::string> Contents(const std::string& path) {
    std::set<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD i = 0, length = sizeof name;
         ::RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == 0; ++i, length = sizeof name)
        names.insert(name);
    for (DWORD i = 0; ::RegEnumKeyA(key, i, name, sizeof name) == 0; ++i) names.insert(std::string(name) + '\\');
    ::RegCloseKey(key);
    return names;
}

inline std::string ThisProgramPath() {
    char path[MAX_PATH]{};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kelvandor");
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Kelvandor");
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Parlix");
        ASSERT_FALSE(KeyExists("Software\\Kelvandor"));
    }
};
