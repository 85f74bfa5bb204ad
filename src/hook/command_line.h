// The process's argument list, split from its command line the way the C runtime
// does it for main's argv.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Always returns at least the program name (possibly empty). An empty command line
// splits executablePath instead, as the runtime does.
std::vector<std::string> SplitCommandLine(std::string_view commandLine,
                                          std::string_view executablePath);
