// Whether the user's Run key starts the host at logon.
#pragma once

#include <cstdint>

// 1 when the value "Parlix" of HKEY_CURRENT_USER\...\CurrentVersion\Run is an
// accepted string naming an existing file or folder, tested exactly as stored;
// 0 on every failure.
std::int32_t ReadAutoRun() noexcept;
