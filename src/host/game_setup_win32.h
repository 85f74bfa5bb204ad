// Setting the game up: the bind of the send key to exec parlix.cfg in userconfig.cfg
// of the cstrike and czero folders beside the game executable.
#pragma once

#include <string>

#include "settings/app_settings.h"

struct GameSetupResult {
    bool ok = false;
    std::wstring report;  // what was done or what went wrong, for the user
};

// Uses the executable and the send key of the given settings. A mod folder that
// does not exist is skipped (not every game has both); neither existing is an error.
GameSetupResult SetUpGame(const CAppSettings& settings);

// Takes every line of ours out of those files again, each file otherwise byte for
// byte as it was, with its attributes and links; a file the set-up made goes when
// nothing else is in it, every other one stays, an empty one too. Deletes
// parlix.cfg beside them. Without a game or its folders there is nothing to
// remove, which counts as done.
GameSetupResult RemoveGameSetUp(const CAppSettings& settings);
