#include "settings/run_value_win32.h"

#include <windows.h>

#include <array>

#include "settings/run_value.h"

std::wstring ReadRunProgram() noexcept {
    // Room for a quoted path far beyond MAX_PATH; a longer value is no command the
    // host wrote, and the read fails with ERROR_MORE_DATA.
    std::array<wchar_t, 1024> command{};
    // One unit short of the buffer, so the text ends in a NUL whatever is stored.
    DWORD size = static_cast<DWORD>((command.size() - 1) * sizeof(wchar_t));
    // RRF_RT_REG_SZ also takes a REG_EXPAND_SZ value, expanded.
    if (::RegGetValueW(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName, RRF_RT_REG_SZ, nullptr, command.data(),
                       &size) != ERROR_SUCCESS)
        return {};
    try {
        return std::wstring(RunCommandProgram(command.data()));
    } catch (...) {
        return {};  // no memory for the path: as if there were no value
    }
}
