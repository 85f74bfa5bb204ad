// Text of the host: the settings are UTF-8 (what the module reads), the windows and
// paths are UTF-16; the conversions are the module's own.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "framework/wide_text_win32.h"
#include "host/host_texts.h"

// The language of every text the host shows: the user's interface language.
HostLanguage UserLanguage() noexcept;
// A text in that language, as UTF-16 for the window; the arguments are UTF-8.
std::wstring UiText(HostText id, std::initializer_list<std::string_view> arguments = {});

// The platform's text for an error code, without the line end; "error N" if none.
std::wstring SystemErrorText(DWORD error);
// The folder of this program, with a trailing backslash, and its full path.
std::wstring HostExecutablePath();
std::wstring HostFolder();
