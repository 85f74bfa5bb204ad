// Reading the Run value: the one reader for the module and the host.
#pragma once

#include <string>

inline constexpr const wchar_t* kRunKeyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunValueName = L"Parlix";

// The program that the value "Parlix" of HKEY_CURRENT_USER's Run key starts, quoted
// or not, a REG_EXPAND_SZ value expanded; empty when there is no such string value
// or it is longer than a command line the host would write. Only the registry is
// read: the module calls this at attach, inside the loader lock, where a look at a
// path on a network share could stall the process.
std::wstring ReadRunProgram() noexcept;
