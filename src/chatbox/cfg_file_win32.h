// The command file: the command in UTF-8, written as the file's whole content.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "chatbox/file_error.h"

// The text, NUL-terminated in `codePage`, as UTF-8 bytes without terminator; nullopt
// when a conversion or an allocation fails, with the thread's last error left as
// the failing call set it.
std::optional<std::string> ConvertToUtf8(const std::string& text, UINT codePage);

// Creates or empties the file and writes `bytes` in one call. A path of MAX_PATH
// characters or more, or one without a full path, is refused before any open, as a
// bad path. Open failures name the path as passed; later ones the full path.
std::optional<FileError> WriteCfgFile(const std::string& path, std::string_view bytes);
