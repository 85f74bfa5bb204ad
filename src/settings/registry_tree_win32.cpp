#include "settings/registry_tree_win32.h"

#include <array>
#include <string>

#include "chatbox/history_list.h"
#include "framework/unique_handle_win32.h"
#include "framework/wide_text_win32.h"
#include "framework/win_app_win32.h"

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

}  // namespace

LONG DeleteKeyTree(HKEY parent, const wchar_t* path) noexcept { return DeleteKeyTreeAt(parent, path, 0); }

bool DeleteHistoryKey() noexcept {
    const CWinApp* app = AfxGetApp();
    if (!app) return false;
    try {
        const std::string path = "Software\\" + app->RegistryKey() + "\\" + app->ProfileName() + "\\" +
                                 std::string(kHistorySection);
        return DeleteKeyTree(HKEY_CURRENT_USER, WideFromUtf8(path).c_str()) == ERROR_SUCCESS;
    } catch (...) {
        return false;  // no memory for the path: the history stays as it was
    }
}
