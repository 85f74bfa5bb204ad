// The portable rule for the value "Parlix" of the user's Run key: whether its data
// may be taken as a path at all. Whether that path exists is the platform's question.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::size_t kRunValueMaxBytes = 260;

// A string type (REG_SZ or REG_EXPAND_SZ), one to 260 bytes, the last one NUL: a
// string stored without its terminator is refused.
bool AcceptRunValue(std::uint32_t registryType, std::string_view data) noexcept;
// The text as stored, up to its first NUL: quotes are kept, references not expanded.
std::string_view RunValueText(std::string_view data);
