// The value "Parlix" of the user's Run key, which starts the host at logon. The
// host writes it as the program's path in double quotes, so that Windows cannot
// take the part before a blank ("C:\Program Files (x86)\...") for a program of its
// own; the installer writes it the same way.
#pragma once

#include <string>
#include <string_view>

std::wstring RunCommandFor(std::wstring_view programPath);

// The program a Run command starts: the text between its first pair of quotes, or
// the whole text without surrounding blanks when it is not quoted (as an older
// host wrote it). Empty when there is none.
std::wstring_view RunCommandProgram(std::wstring_view command) noexcept;
