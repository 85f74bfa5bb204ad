// Which processes are the game, and which mod folder of the game gets the command file.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "hook/game_folder.h"

// True for "CStrike.exe", "CZero.exe" and "HL.exe", ASCII letter case aside. The
// name has no directory part.
bool IsGameExecutable(std::string_view fileName) noexcept;

// moduleFileName: the file name (without directory part, as PathStripPathA leaves
// it) of the module behind the chat box window. arguments: the process's argument
// list, program name first; the program name is never compared.
GameFolder DecideGameFolder(std::string_view moduleFileName,
                            std::span<const std::string> arguments) noexcept;
