// The argument list as the C runtime split it for main, before any flag was taken out.
#pragma once

#include <string>
#include <vector>

extern std::vector<std::string> g_runtimeArguments;
