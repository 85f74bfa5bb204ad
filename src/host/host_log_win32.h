// The diagnostic log that --log asks for: one line per thing the host does, so that
// tests and support can see what happened without a debugger.
#pragma once

#include <string>
#include <string_view>

void OpenHostLog(const std::wstring& path) noexcept;
void HostLog(std::string_view line) noexcept;
