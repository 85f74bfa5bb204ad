#include "settings/registry_tree_win32.h"

#include <array>
#include <string>
#include <string_view>

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

// The names of the key's values, or of its subkeys, one after another in one
// string, each ended by a zero (one string instead of a list of them keeps a
// list type out of the module); what cannot be listed is left out, and
// `complete` says so. The default value's name is empty: a lone zero.
std::wstring ListNames(HKEY key, bool subkeys, bool& complete) {
    std::wstring names;
    for (DWORD index = 0;; ++index) {
        const std::size_t start = names.size();
        names.resize(start + kMaxValueName + 1);
        DWORD length = kMaxValueName + 1;
        wchar_t* const name = names.data() + start;
        const LONG result = subkeys ? ::RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr)
                                    : ::RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        // The name and the zero the call put after it stay; anything else goes.
        names.resize(result == ERROR_SUCCESS ? start + length + 1 : start);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS) {
            complete = false;
            if (result != ERROR_MORE_DATA) break;
        }
    }
    return names;
}

// The next name in a list from ListNames.
std::size_t NextName(const std::wstring& names, std::size_t at) noexcept {
    return at + std::char_traits<wchar_t>::length(names.c_str() + at) + 1;
}

}  // namespace

LONG DeleteKeyTree(HKEY parent, const wchar_t* path) noexcept { return DeleteKeyTreeAt(parent, path, 0); }

bool RemoveAllValuesAndSubkeysBut(HKEY key, std::span<const std::string> kept) noexcept {
    try {
        // Listed first and removed afterwards: deleting while enumerating would
        // move the indices under the enumeration.
        bool complete = true;
        const std::wstring values = ListNames(key, false, complete);
        for (std::size_t at = 0; at < values.size(); at = NextName(values, at)) {
            if (IsKeptName(values.c_str() + at, kept)) continue;
            if (::RegDeleteValueW(key, values.c_str() + at) != ERROR_SUCCESS) complete = false;
        }
        const std::wstring subkeys = ListNames(key, true, complete);
        for (std::size_t at = 0; at < subkeys.size(); at = NextName(subkeys, at)) {
            if (DeleteKeyTree(key, subkeys.c_str() + at) != ERROR_SUCCESS) complete = false;
        }
        return complete;
    } catch (...) {
        return false;  // no memory for the names: what was there stays
    }
}
