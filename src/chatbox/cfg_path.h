// Where the command file goes: the mod folder beside the game executable.
#pragma once

#include <string>
#include <string_view>

#include "hook/game_folder.h"

// Removes the trailing file name of `path` and the backslash before it, the way
// the shell's path helper does it (forward slashes are not separators):
//   "D:\Games\HL\hl.exe" -> "D:\Games\HL"   "C:\hl.exe" -> "C:\"
//   "hl.exe" -> ""   "" -> ""   "C:" -> "C:"   "C:hl.exe" -> "C:"
//   "D:\Games\" -> "D:\Games"   "\hl.exe" -> "\"
//   "\\server\share\x.exe" -> "\\server\share"   "\\server" -> "\\"
// The path is UTF-8, where no byte of a character other than the backslash
// itself can pass for one.
std::string RemoveFileSpec(std::string_view path);

// The folder of the executable followed by "\cstrike\parlix.cfg" or
// "\czero\parlix.cfg". A folder that already ends in a backslash (a root such
// as "C:\" or "\") does not get a second one: "\" + "\cstrike" would otherwise
// read as the network share "\\cstrike". An empty executable path gives the bare
// "\cstrike\parlix.cfg", relative to the root of the current drive.
std::string BuildCfgPath(std::string_view executablePath, GameFolder folder);
