// Registry set-up for the Win32 tests: they run in a test prefix and start every
// case from a clean HKCU\Software\Kelvandor, written with plain registry calls
// (never through the code under test).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

inline constexpr const char* kAppKey = "Software\\Kelvandor\\Parlix";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline void ClearMakerKey() {
    const LONG result = ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kelvandor");
    if (result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Kelvandor");
        return;
    }
    FAIL() << "cannot clear HKCU\\Software\\Kelvandor: " << result;
}

inline bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    ::RegCloseKey(key);
    return true;
}

inline void CreateKey(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    ::RegCloseKey(key);
}

inline void PutValue(const std::string& path, const char* name, DWORD type, std::string_view data) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    const LONG result = ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                                         static_cast<DWORD>(data.size()));
    ::RegCloseKey(key);
    ASSERT_EQ(result, ERROR_SUCCESS) << name;
}

inline void PutString(const std::string& path, const char* name, std::string_view text) {
    PutValue(path, name, REG_SZ, std::string(text) + '\0');
}

inline void PutDword(const std::string& path, const char* name, DWORD value) {
    PutValue(path, name, REG_DWORD, std::string_view(reinterpret_cast<const char*>(&value), sizeof value));
}

// The value's type and bytes as stored; type REG_NONE and no bytes when missing.
struct StoredValue {
    DWORD type = REG_NONE;
    std::string data;
};

inline StoredValue GetValue(const std::string& path, const char* name) {
    StoredValue value;
    DWORD size = 0;
    if (::RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                       &size) != ERROR_SUCCESS) {
        return {};
    }
    value.data.resize(size);
    ::RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, value.data.data(),
                   &size);
    value.data.resize(size);
    return value;
}

// The value as RegQueryValueExA gives it, with no terminator added by the reader.
inline StoredValue GetValueA(const std::string& path, const char* name) {
    StoredValue value;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    char data[1024];
    DWORD size = sizeof data;
    if (::RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
        value.data.assign(data, size);
    ::RegCloseKey(key);
    return value;
}

inline std::set<std::string> ValueNames(const std::string& path) {
    std::set<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (::RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.insert(name);
    }
    ::RegCloseKey(key);
    return names;
}

inline DWORD SubkeyCount(const std::string& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(key);
    return count;
}

// The full path of this test program, as Windows names it.
inline std::string ThisProgramPath() {
    char path[MAX_PATH]{};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Each case starts and ends without the application's keys and the Run value.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearMakerKey();
        ClearRunValue();
    }
    void TearDown() override {
        ClearMakerKey();
        ClearRunValue();
    }
    static void ClearRunValue() { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Parlix"); }
};
