// The host alone writes the Run command. It lives apart from the reader so that
// the module, which only reads the value, links none of the wide string's
// editing code.
#include "settings/run_value.h"

std::wstring RunCommandFor(std::wstring_view programPath) {
    return L"\"" + std::wstring(programPath) + L"\"";
}
