#include "settings/autorun_win32.h"

#include <windows.h>
#include <shlwapi.h>

#include <array>
#include <string>

#include "framework/unique_handle_win32.h"
#include "settings/autorun.h"

std::int32_t ReadAutoRun() noexcept {
    UniqueHkey run;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_READ,
                        run.put()) != ERROR_SUCCESS)
        return 0;
    // One byte more than the query may fill, so the text is terminated whatever it holds.
    std::array<char, kRunValueMaxBytes + 1> data{};
    DWORD type = 0;
    DWORD size = kRunValueMaxBytes;
    if (::RegQueryValueExA(run.get(), "Parlix", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return 0;
    const std::string_view stored(data.data(), size);
    if (!AcceptRunValue(type, stored)) return 0;
    // RunValueText ends at the first NUL, which the array holds at the latest at its end.
    return ::PathFileExistsA(RunValueText(stored).data()) ? 1 : 0;
}
