#include "host/userconfig_bind.h"

#include <cstddef>

#include "common/ascii.h"
#include "settings/key_names.h"

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kExecParlix = "exec parlix.cfg";
// A comment to the game; to the removal, the mark of a file the set-up made.
constexpr std::string_view kMadeBySetUp =
    "// Made by Parlix for the line below: removing its game set-up deletes this file.";

// Words as the game's console splits a line: blanks separate, quotes group.
std::vector<std::string_view> SplitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        if (line[i] == '"') {
            std::size_t end = line.find('"', i + 1);
            if (end == std::string_view::npos) end = line.size();
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::string_view LineEndStyle(std::string_view content) noexcept {
    std::size_t newline = content.find('\n');
    if (newline == std::string_view::npos) return "\r\n";  // the game's own files use CR LF
    return (newline > 0 && content[newline - 1] == '\r') ? "\r\n" : "\n";
}

struct ConfigLine {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n", "\r" or empty for a last line without one
    bool first = false;
};

// Calls visit for each line of the file in order; joined, text and end give the file.
template <class Visit>
void ForEachLine(std::string_view content, Visit visit) {
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find_first_of("\r\n", start);
        std::size_t next = end;
        if (end == std::string_view::npos) {
            end = next = content.size();
        } else {
            next = end + 1;
            if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
        }
        visit(ConfigLine{content.substr(start, end - start), content.substr(end, next - end), start == 0});
        start = next;
    }
}

}  // namespace

std::string GameBindKeyName(std::string_view keyName) {
    static constexpr struct {
        std::string_view table;
        std::string_view game;
    } kRenamed[] = {{"Insert", "INS"}, {"Delete", "DEL"},   {"Home", "HOME"},
                    {"End", "END"},    {"Page Up", "PGUP"}, {"Page Dn", "PGDN"}};
    for (const KeyNameEntry& entry : KeyNameTable()) {
        if (!EqualIgnoringAsciiCase(entry.name, keyName)) continue;
        std::string_view name = entry.name;
        for (const auto& renamed : kRenamed)
            if (renamed.table == name) return std::string(renamed.game);
        if (name.size() == 1) return std::string(1, LowerAscii(name[0]));
        return std::string(name);  // F1 to F12
    }
    return {};
}

std::string ParlixBindLine(std::string_view gameKeyName) {
    return "bind \"" + std::string(gameKeyName) + "\" \"" + std::string(kExecParlix) + "\"";
}

bool IsParlixBindLine(std::string_view line) noexcept {
    if (line.starts_with(kUtf8Bom)) line.remove_prefix(kUtf8Bom.size());
    std::vector<std::string_view> words = SplitWords(line);
    return words.size() == 3 && EqualIgnoringAsciiCase(words[0], "bind") && !words[1].empty() &&
           EqualIgnoringAsciiCase(words[2], kExecParlix);
}

std::string RewriteUserConfig(std::string_view content, std::string_view bindLine) {
    std::string result;
    result.reserve(content.size() + bindLine.size() + 2);
    bool written = false;
    ForEachLine(content, [&](const ConfigLine& line) {
        if (!IsParlixBindLine(line.text)) {
            result.append(line.text).append(line.end);
        } else if (!written) {
            // A BOM at the start of the file belongs to the file, not to our line.
            if (line.first && line.text.starts_with(kUtf8Bom)) result.append(kUtf8Bom);
            result.append(bindLine).append(line.end);
            written = true;
        }
    });
    if (!written) {
        // A last line without a line end keeps it that way: our line takes the line
        // end in front of it, so that taking the line away again gives back the file.
        if (!result.empty() && result.back() != '\n' && result.back() != '\r') {
            result.append(LineEndStyle(content)).append(bindLine);
        } else {
            result.append(bindLine).append(LineEndStyle(content));
        }
    }
    return result;
}

std::string RemoveParlixBindLines(std::string_view content) {
    std::string result;
    result.reserve(content.size());
    ForEachLine(content, [&](const ConfigLine& line) {
        if (!IsParlixBindLine(line.text)) {
            result.append(line.text).append(line.end);
            return;
        }
        if (line.first && line.text.starts_with(kUtf8Bom)) result.append(kUtf8Bom);
        // The last line without a line end was appended behind one of its own.
        if (line.end.empty()) {
            if (result.ends_with("\r\n")) {
                result.resize(result.size() - 2);
            } else if (result.ends_with('\n') || result.ends_with('\r')) {
                result.pop_back();
            }
        }
    });
    return result;
}

std::string NewUserConfig(std::string_view bindLine) {
    return std::string(kMadeBySetUp) + "\r\n" + std::string(bindLine) + "\r\n";
}

UserConfigRemoval RemoveParlixSetUp(std::string_view content) {
    UserConfigRemoval removal;
    removal.content = RemoveParlixBindLines(content);
    const std::string_view rest = removal.content;
    if (!rest.starts_with(kMadeBySetUp)) return removal;
    std::size_t end = kMadeBySetUp.size();
    if (end < rest.size() && rest[end] == '\r') ++end;
    if (end < rest.size() && rest[end] == '\n') ++end;
    // A longer first line that only starts like the mark is the player's.
    if (end == kMadeBySetUp.size() && end != rest.size()) return removal;
    removal.content.erase(0, end);
    removal.deleteFile = removal.content.empty();
    return removal;
}

std::vector<std::wstring> UserConfigPaths(std::wstring_view executablePath) {
    std::size_t slash = executablePath.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    std::wstring folder(executablePath.substr(0, slash + 1));
    return {folder + L"cstrike\\userconfig.cfg", folder + L"czero\\userconfig.cfg"};
}
