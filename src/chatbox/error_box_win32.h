// The two error boxes of the submission: the thread's last system error, and a
// failure to write the command file. Both are modal, captioned with the
// application's name, with an OK button and the exclamation icon.
#pragma once

#include <windows.h>

#include "chatbox/file_error.h"

// Fills `buffer` (of `size` bytes) with the text of GetLastError's code in UTF-8
// and returns it: the system's text without its final line break, or "(code)".
char* FormatLastError(char* buffer, DWORD size) noexcept;
void ShowLastErrorBox(HWND owner) noexcept;
// The cause's text with the file name in place of %1, cut to 511 characters.
void ShowFileErrorBox(HWND owner, const FileError& error) noexcept;
