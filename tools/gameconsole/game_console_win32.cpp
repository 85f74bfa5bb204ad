#include "game_console_win32.h"

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

#include "common/ascii.h"
#include "framework/unique_handle_win32.h"
#include "tool_support_win32.h"

namespace gameconsole {

namespace {

HANDLE g_log = INVALID_HANDLE_VALUE;

// The engine's names of the keys by scan code, as its key table has them; letters
// and other printable keys are named by their character. Empty: no key.
const char* const kScanNames[0x59] = {
    "", "ESCAPE", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "=", "BACKSPACE", "TAB",
    "q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "[", "]", "ENTER", "CTRL", "a", "s",
    "d", "f", "g", "h", "j", "k", "l", "SEMICOLON", "'", "`", "SHIFT", "\\", "z", "x", "c", "v",
    "b", "n", "m", ",", ".", "/", "SHIFT", "*", "ALT", "SPACE", "", "F1", "F2", "F3", "F4", "F5",
    "F6", "F7", "F8", "F9", "F10", "PAUSE", "", "HOME", "UPARROW", "PGUP", "KP_MINUS", "LEFTARROW", "KP_5",
    "RIGHTARROW", "KP_PLUS", "END", "DOWNARROW", "PGDN", "INS", "DEL", "", "", "", "F11", "F12"};

// Splits one config line into words; a quoted word may hold blanks.
std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            size_t end = line.find('"', i + 1);
            if (end == std::string::npos) end = line.size();
            word = line.substr(i + 1, end - i - 1);
            i = end + 1;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') word += line[i++];
        }
        words.push_back(word);
    }
    return words;
}

bool ReadWholeFile(const std::wstring& path, std::string& content, DWORD& error) {
    UniqueFile file = AdoptFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = ::GetLastError();
        return false;
    }
    content.clear();
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
    return true;
}

// Written from the rules of the standard, not taken from the module: the game's
// own check knows nothing of the module either.
bool IsValidUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t more = 0;
        unsigned long value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            more = 1, value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, value = lead & 0x07;
        } else {
            return false;
        }
        if (i + more >= text.size()) return false;  // cut short
        for (size_t k = 1; k <= more; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            value = (value << 6) | (next & 0x3F);
        }
        static const unsigned long smallest[] = {0, 0x80, 0x800, 0x10000};
        if (value < smallest[more] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        i += more + 1;
    }
    return true;
}

// One console line of the file, as the game runs it. The chat formats are those
// of a living player on the counter-terrorist side: "#Cstrike_Chat_All" (17
// characters) for say and the server's rcon say, "#Cstrike_Chat_CT" (16) for
// say_team; the text keeps 128 - 3 - that length bytes.
void ExecuteLine(const std::string& line) {
    std::vector<std::string> words = SplitWords(line);
    if (words.empty()) return;
    std::string kind = words[0];
    if (kind == "rcon" && words.size() >= 2 && words[1] == "say") {
        kind = "rcon";
    } else if (kind != "say" && kind != "say_team") {
        WriteLog("unknown " + line);
        return;
    }
    // The engine sends the command to the server as one string of 127 bytes at
    // most; rcon is held to the same, which is no kinder.
    const std::string forwarded = line.substr(0, 127);
    // The arguments: what follows the command's name (both words of "rcon say")
    // and the blanks after it.
    size_t args = 0;
    for (int word = 0; word < (kind == "rcon" ? 2 : 1) && args != std::string::npos; ++word) {
        args = forwarded.find_first_not_of(" \t", args);
        if (args != std::string::npos) args = forwarded.find_first_of(" \t", args);
        if (args != std::string::npos) args = forwarded.find_first_not_of(" \t", args);
    }
    std::string text = args == std::string::npos ? std::string() : forwarded.substr(args);
    // A leading quote goes together with the last byte, whatever that byte is.
    if (!text.empty() && text[0] == '"') {
        text.erase(0, 1);
        if (!text.empty()) text.pop_back();
    }
    const std::string name = kind == "say" ? "say" : kind == "say_team" ? "say_team" : "rcon say";
    if (!IsValidUtf8(text)) {
        WriteLog("dropped " + name + ": not UTF-8");
        return;
    }
    const size_t format = kind == "say_team" ? std::strlen("#Cstrike_Chat_CT") : std::strlen("#Cstrike_Chat_All");
    text = text.substr(0, 128 - 3 - format);
    WriteLog((kind == "say" ? "said " : kind == "say_team" ? "said-team " : "said-rcon ") + text);
}

// The console runs the file line by line; a semicolon outside quotes ends a
// command as a line end does.
std::uintptr_t g_moduleBase = 0;
std::uintptr_t g_moduleEnd = 0;

LONG CALLBACK LogModuleFaults(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD& record = *info->ExceptionRecord;
    auto inModule = [](std::uintptr_t address) { return address >= g_moduleBase && address < g_moduleEnd; };
    const auto address = reinterpret_cast<std::uintptr_t>(record.ExceptionAddress);
    const bool atData = record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2 &&
                        inModule(static_cast<std::uintptr_t>(record.ExceptionInformation[1]));
    if (inModule(address) || atData)
        WriteLog("fault " + HexNumber(record.ExceptionCode) + " at " + HexNumber(address));
    return EXCEPTION_CONTINUE_SEARCH;  // the game's fate is the system's, as without the log
}

}  // namespace

void OpenLog(const std::wstring& path) {
    CloseLog();
    if (path.empty()) return;
    g_log = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseLog() {
    if (g_log != INVALID_HANDLE_VALUE) ::CloseHandle(g_log);
    g_log = INVALID_HANDLE_VALUE;
}

HANDLE Log() { return g_log; }

void WriteLog(const std::string& line) { AppendLogLine(g_log, line); }

std::wstring DecideModFolder(const std::wstring& exePath, const std::vector<std::wstring>& args) {
    size_t slash = exePath.find_last_of(L"\\/");
    std::wstring folder = exePath.substr(0, slash + 1);
    std::wstring name = exePath.substr(slash + 1);
    using namespace std::string_view_literals;
    if (EqualIgnoringAsciiCase(std::wstring_view(name), L"CStrike.exe"sv)) return folder + L"cstrike\\";
    if (EqualIgnoringAsciiCase(std::wstring_view(name), L"CZero.exe"sv)) return folder + L"czero\\";
    for (size_t i = 1; i < args.size(); ++i) {
        if (EqualIgnoringAsciiCase(std::wstring_view(args[i]).substr(0, 5), L"czero"sv)) return folder + L"czero\\";
    }
    return folder + L"cstrike\\";
}

// What the engine makes of a key message: the scan code names the key, and for
// the keys the keypad shares scan codes with, the extended-key bit decides
// between the two.
std::string EngineKeyName(LPARAM keyData) {
    const unsigned scan = static_cast<unsigned>(keyData >> 16) & 0xFF;
    const bool extended = ((keyData >> 24) & 1) != 0;
    if (scan >= std::size(kScanNames)) return {};
    const std::string name = kScanNames[scan];
    if (extended) {
        if (name == "ENTER") return "KP_ENTER";
        if (name == "/") return "KP_SLASH";
        return name;
    }
    static const struct { const char* key; const char* keypad; } keypad[] = {
        {"HOME", "KP_HOME"}, {"UPARROW", "KP_UPARROW"}, {"PGUP", "KP_PGUP"}, {"LEFTARROW", "KP_LEFTARROW"},
        {"RIGHTARROW", "KP_RIGHTARROW"}, {"END", "KP_END"}, {"DOWNARROW", "KP_DOWNARROW"}, {"PGDN", "KP_PGDN"},
        {"INS", "KP_INS"}, {"DEL", "KP_DEL"},
    };
    for (const auto& each : keypad)
        if (name == each.key) return each.keypad;
    return name;
}

std::string BindKeyName(const std::string& name) {
    if (name.size() <= 1) return name;
    std::string upper;
    for (char c : name) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return upper;
}

std::string ReadSendKey(const std::wstring& modFolder) {
    std::string content;
    DWORD error = 0;
    if (!ReadWholeFile(modFolder + L"userconfig.cfg", content, error)) return {};
    std::string key;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) end = content.size();
        std::vector<std::string> words = SplitWords(content.substr(start, end - start));
        if (words.size() == 3 && words[0] == "bind" && words[2] == "exec parlix.cfg") key = words[1];
        start = end + 1;
    }
    return key;
}

void ExecuteCommandFile(const std::wstring& modFolder) {
    std::string content;
    DWORD error = 0;
    if (!ReadWholeFile(modFolder + L"parlix.cfg", content, error)) {
        WriteLog("exec-failed " + std::to_string(error));
        return;
    }
    WriteLog("exec " + content);
    std::string line;
    bool quoted = false;
    for (char c : content + "\n") {
        if (c == '"') quoted = !quoted;
        if (c == '\n' || (c == ';' && !quoted)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ExecuteLine(line);
            line.clear();
            quoted = false;
            continue;
        }
        line += c;
    }
}

void UnloadHookModule() {
    HMODULE module = ::GetModuleHandleA("Parlix.dll");
    if (module != nullptr) {
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
        g_moduleBase = reinterpret_cast<std::uintptr_t>(module);
        g_moduleEnd = g_moduleBase + nt->OptionalHeader.SizeOfImage;
        ::AddVectoredExceptionHandler(1, &LogModuleFaults);
    }
    int calls = 0;
    while ((module = ::GetModuleHandleA("Parlix.dll")) != nullptr && calls < 16) {
        if (!::FreeLibrary(module)) break;
        ++calls;
    }
    WriteLog("unloaded " + std::to_string(calls));
}

std::string ModuleStateLine() {
    return ::GetModuleHandleA("Parlix.dll") != nullptr ? "module loaded" : "module gone";
}

}  // namespace gameconsole
