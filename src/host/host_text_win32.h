// Text conversions of the host: the settings are ANSI text in the system code page
// (what the module reads), the windows and paths are UTF-16.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "host/host_texts.h"

// The language of every text the host shows: the user's interface language.
HostLanguage UserLanguage() noexcept;
// A text in that language, as UTF-16 for the window; the arguments are UTF-8.
std::wstring UiText(HostText id, std::initializer_list<std::string_view> arguments = {});

std::wstring WideFromAnsi(std::string_view text);
// nullopt when a character has no form in the ANSI code page: the module could
// not use such a path, so it must not be saved mangled.
std::optional<std::string> AnsiFromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
// The platform's text for an error code, without the line end; "error N" if none.
std::wstring SystemErrorText(DWORD error);
// The folder of this program, with a trailing backslash, and its full path.
std::wstring HostExecutablePath();
std::wstring HostFolder();
