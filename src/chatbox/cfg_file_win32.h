// The command file: the command in UTF-8, written as the file's whole content.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chatbox/file_error.h"

// Creates or empties the file at the UTF-8 `path`, opened by its UTF-16 name so
// that any folder name works, and writes `bytes` in one call. A path of MAX_PATH
// UTF-16 units or more, or one without a full path, is refused before any open, as
// a bad path. Open failures name the path as passed; later ones the full path.
std::optional<FileError> WriteCfgFile(const std::string& path, std::string_view bytes);
