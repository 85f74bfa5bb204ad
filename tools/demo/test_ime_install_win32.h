// Installs the project's test IME (tools/testime) in the running Wine prefix, as
// the system's own set-up would: the file in the system folder and a keyboard
// layout key that names it. Wine reads both when a thread loads the layout.
#pragma once

#include <windows.h>

#include <string>

namespace drive {

// The test IME's layout name, "E020" and the low word of the calling thread's
// layout: Wine's X11 driver refuses a layout of another language. Empty when the
// IME could not be installed; `why` then says why.
std::wstring InstallTestIme(std::string* why = nullptr);

// Loads and activates the layout in the calling thread. Wine swaps the IME in at
// the thread's next key press, so press a key the IME ignores (Shift) first.
HKL ActivateTestIme(const std::wstring& layoutName);

}  // namespace drive
