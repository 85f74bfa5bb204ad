// The mod folder that receives the command file, decided in the game's process.
#pragma once

#include <windows.h>

#include "hook/game_folder.h"

// box: the chat box window, a child of the game window. The decision looks at the
// executable behind the game window (the box's parent): the box itself comes from
// this module's template, so the platform names this module for it.
GameFolder DetectGameFolderForWindow(HWND box) noexcept;
