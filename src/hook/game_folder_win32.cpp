#include "hook/game_folder_win32.h"

#include <shlwapi.h>

#include <array>

#include "hook/game_detection.h"
#include "hook/process_arguments_win32.h"

GameFolder DetectGameFolderForWindow(HWND box) noexcept {
    // Zeroed, so that a window with no module name gives the empty name and the
    // argument scan decides.
    std::array<char, MAX_PATH> name{};
    const HWND game = box ? ::GetParent(box) : nullptr;
    if (game) {
        ::GetWindowModuleFileNameA(game, name.data(), static_cast<UINT>(name.size()));
        name.back() = '\0';
        ::PathStripPathA(name.data());
    }
    try {
        return DecideGameFolder(name.data(), ProcessArguments());
    } catch (...) {
        return GameFolder::cstrike;  // the argument list could not be built
    }
}
