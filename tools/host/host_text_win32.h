// Text of the host: the settings are UTF-8 (what the module reads), the windows and
// paths are UTF-16; the conversions are the module's own.
#pragma once

#include <windows.h>

#include <string>

#include "framework/wide_text_win32.h"

// The platform's text for an error code, without the line end; "error N" if none.
std::wstring SystemErrorText(DWORD error);
// The folder of this program, with a trailing backslash, and its full path.
std::wstring HostExecutablePath();
std::wstring HostFolder();
