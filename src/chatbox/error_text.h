// The text of a system error as the error box shows it when the system has none.
#pragma once

#include <cstdint>
#include <string>

// The code as a signed decimal in parentheses: "(-5)".
std::string ErrorCodeText(std::int32_t code);
