// The process's argument list, program name first, split once from its command line.
#pragma once

#include <string>
#include <vector>

// Split on first use; the module's entry point makes that use at attach, so the
// list is fixed before any hook event can read it.
const std::vector<std::string>& ProcessArguments();
