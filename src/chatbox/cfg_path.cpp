#include "chatbox/cfg_path.h"

std::string RemoveFileSpec(std::string_view path) {
    // Where the cut goes: after one or two leading backslashes (a rooted or a
    // network path keeps them), at the last backslash, or after a drive colon and
    // the backslash that follows it. Nothing after that point: nothing to remove.
    // The system's helper works on a NUL-terminated string.
    path = path.substr(0, path.find('\0'));
    std::size_t cut = 0;
    std::size_t i = 0;
    for (int lead = 0; lead < 2 && i < path.size() && path[i] == '\\'; ++lead) cut = ++i;
    while (i < path.size()) {
        const char c = path[i];
        if (c == '\\') {
            cut = i;
        } else if (c == ':') {
            cut = ++i;
            if (i < path.size() && path[i] == '\\') ++cut;
            // Like the system's helper, the character right after the colon is
            // stepped over without being looked at.
            if (i >= path.size()) break;
        }
        ++i;
    }
    return std::string(path.substr(0, cut));
}

std::string BuildCfgPath(std::string_view executablePath, GameFolder folder) {
    std::string path = RemoveFileSpec(executablePath);
    std::string_view tail =
        folder == GameFolder::czero ? "\\czero\\parlix.cfg" : "\\cstrike\\parlix.cfg";
    // A root keeps its own backslash; "\" followed by "\cstrike" would name a share.
    if (!path.empty() && path.back() == '\\') tail.remove_prefix(1);
    path.append(tail);
    return path;
}
