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

HostOptions ParseHostCommandLine(const std::vector<std::string>& args, HostLanguage language) {
    HostOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (IsHelpSwitch(arg)) {
            options.action = HostAction::Help;
        } else if (arg == "--setup-game" || arg == "--remove-game-setup") {
            // The first of the two wins; help wins over both: asking never writes files.
            if (options.action == HostAction::Run)
                options.action = arg == "--setup-game" ? HostAction::SetUpGame : HostAction::RemoveGameSetUp;
        } else if (arg == "--minimized") {
            options.minimized = true;
        } else if (arg == "--log") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return Refuse(std::string(Text(HostText::LogNeedsFile, language)));
            options.logPath = args[++i];
        } else {
            return Refuse(Text(HostText::UnknownOption, language, {arg}));
        }
    }
    return options;
}
