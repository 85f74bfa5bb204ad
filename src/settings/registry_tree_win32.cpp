#include "settings/registry_tree_win32.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "framework/unique_handle_win32.h"

namespace {

LONG DeleteKeyTreeAt(HKEY parent, const wchar_t* path, int depth) noexcept {
    if (depth > kMaxDeleteDepth) return ERROR_STACK_OVERFLOW;
    UniqueHkey key;
    LONG result = ::RegOpenKeyW(parent, path, key.put());
    if (result != ERROR_SUCCESS) return result;

    // Index 0 again after each deletion: the subkeys move up as they go.
    std::array<wchar_t, MAX_PATH> subkey{};
    for (;;) {
        result = ::RegEnumKeyW(key.get(), 0, subkey.data(), static_cast<DWORD>(subkey.size()));
        if (result != ERROR_SUCCESS) break;
        result = DeleteKeyTreeAt(key.get(), subkey.data(), depth + 1);
        if (result != ERROR_SUCCESS) return result;
    }
    if (result != ERROR_NO_MORE_ITEMS && result != ERROR_BADKEY) return result;
    key.reset();
    return ::RegDeleteKeyW(parent, path);
}

// The longest value name the registry stores, and its terminator.
constexpr DWORD kMaxValueName = 16383;

bool IsKeptName(std::wstring_view name, std::span<const std::string> kept) noexcept {
    for (const std::string& keep : kept)
        if (EqualIgnoringAsciiCase(name, std::string_view(keep))) return true;
    return false;
}

// The names of the key's values, or of its subkeys; what cannot be listed is
// left out, and `complete` says so.
std::vector<std::wstring> ListNames(HKEY key, bool subkeys, bool& complete) {
    std::vector<std::wstring> names;
    std::vector<wchar_t> name(kMaxValueName + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = subkeys ? ::RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
                                    : ::RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_SUCCESS) {
            names.emplace_back(name.data(), length);
        } else {
            complete = false;
            if (result != ERROR_MORE_DATA) break;
        }
    }
    return names;
}

}  // namespace

LONG DeleteKeyTree(HKEY parent, const wchar_t* path) noexcept { return DeleteKeyTreeAt(parent, path, 0); }

bool RemoveAllValuesAndSubkeysBut(HKEY key, std::span<const std::string> kept) noexcept {
    try {
        // Listed first and removed afterwards: deleting while enumerating would
        // move the indices under the enumeration.
        bool complete = true;
        for (const std::wstring& value : ListNames(key, false, complete)) {
            if (IsKeptName(value, kept)) continue;
            if (::RegDeleteValueW(key, value.c_str()) != ERROR_SUCCESS) complete = false;
        }
        for (const std::wstring& subkey : ListNames(key, true, complete)) {
            if (DeleteKeyTree(key, subkey.c_str()) != ERROR_SUCCESS) complete = false;
        }
        return complete;
    } catch (...) {
        return false;  // no memory for the names: what was there stays
    }
}
