#include "chatbox/history_key_win32.h"

#include <windows.h>

#include <string>

#include "chatbox/history_list.h"
#include "framework/wide_text_win32.h"
#include "framework/win_app_win32.h"
#include "settings/registry_tree_win32.h"

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
