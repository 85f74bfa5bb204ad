// The system's own text for an error code: the one place that asks FormatMessageW.
#pragma once

#include <windows.h>

#include <string>

// The text in UTF-8, in the user's default language, without the CR LF that ends
// it (line breaks inside stay); empty when the system has no text for the code.
std::string SystemMessageText(DWORD code) noexcept;
