#include "host/host_command_line.h"

namespace {

bool IsHelpSwitch(std::string_view arg) noexcept {
    return arg == "--help" || arg == "-h" || arg == "/?" || arg == "-?" || arg == "/help";
}

HostOptions Refuse(std::string error) {
    HostOptions options;
    options.action = HostAction::Help;
    options.error = std::move(error);
    return options;
}

}  // namespace

HostOptions ParseHostCommandLine(const std::vector<std::string>& args) {
    HostOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelpSwitch(arg)) {
            options.action = HostAction::Help;
        } else if (arg == "--setup-game") {
            if (options.action == HostAction::Run) options.action = HostAction::SetUpGame;
        } else if (arg == "--minimized") {
            options.minimized = true;
        } else if (arg == "--log") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return Refuse("--log needs a file name.");
            options.logPath = args[++i];
        } else {
            return Refuse("Unknown option: " + arg);
        }
    }
    return options;
}

std::string_view HostUsageText() noexcept {
    return "Usage: ParlixHost.exe [--minimized] [--setup-game] [--help]\n"
           "\n"
           "Without options, starts Parlix: installs the keyboard hook that opens the chat\n"
           "box in the game and shows the settings window (or only the tray icon when\n"
           "\"Start Minimized\" is on). Only one copy runs; starting it again brings the\n"
           "running one's window up.\n"
           "\n"
           "  --minimized    start without showing the settings window\n"
           "  --setup-game   write bind \"<send key>\" \"exec parlix.cfg\" into userconfig.cfg\n"
           "                 of the cstrike and czero folders beside the game executable\n"
           "                 named in the settings, then exit (exit code 0 on success)\n"
           "  --log <file>   append a line for each thing the host does to <file>\n"
           "  --help         show this text and exit\n";
}
