// The host's command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/host_texts.h"

enum class HostAction {
    Run,        // the settings window, the hook and the tray icon
    Help,       // print the usage and exit
    SetUpGame,  // write the bind into the game's userconfig.cfg files and exit
    RemoveGameSetUp,  // take the bind out of those files again and exit
};

struct HostOptions {
    HostAction action = HostAction::Run;
    bool minimized = false;  // start hidden whatever "Start Minimized" says
    std::string logPath;     // a diagnostic log of what the host did, for tests
    std::string error;       // why the command line was refused; action is then Help
};

// The arguments after the program name, in UTF-8; a refusal is told in the language.
HostOptions ParseHostCommandLine(const std::vector<std::string>& args, HostLanguage language);
