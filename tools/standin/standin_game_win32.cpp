// The stand-in game: a top-level window without a cursor that records every key
// it receives and, on its send key, executes parlix.cfg of its mod folder as the
// game would, recording what the other players would see. It plays the game's
// part for the module in the end-to-end tests and the demo, and it is no kinder
// than the game:
// - the send key is the key bound to "exec parlix.cfg" in userconfig.cfg, told
//   by the engine's key names from the scan code and the extended-key bit, never
//   by the virtual-key code (Insert without the extended bit is KP_INS);
// - a say, say_team or rcon say line keeps only its first 127 bytes, loses its
//   leading quote together with its last byte, is dropped when it is not valid
//   UTF-8, and is cut byte by byte to what the chat format leaves;
// - a say or say_team line within 0.66 s of the last one is ignored (chat_interval.h).
//
// The game thread runs as the game's builds run theirs (frame_loop_win32.h),
// chosen with --loop: "sdl" (the default), "sdl-noclip" or "quake". The SDL2
// loops handle the IME as SDL2 does (standin_ime_win32.h).
//
// Usage: <name>.exe --log <file> [--timeout <seconds>] [--loop <loop>] [--ime <layout name>]
//        [game arguments...]
// Log lines (UTF-8, one per event): "start <exe>", "sendkey <bind name>", "loop <loop>",
// "ime-context none", "ime 0x..." or "ime-failed <error>",
// "window 0x...", "keydown 0x59", "keyup 0x59", "setfocus", "killfocus", "layout 0x...",
// "textinput on", "textinput off", "ime-open 0|1",
// "exec <file content>", "exec-failed <error>", "said <text>",
// "said-team <text>", "said-rcon <text>", "dropped <command>: not UTF-8",
// "ignored <command>: too soon",
// "unknown <command line>", "unloaded <FreeLibrary calls>",
// "fault <code> at <address>", "module <loaded|gone>", the frame reports of the
// loop, "exit".
//
// Two private messages let a test play what happens to a real game from outside:
// kTakeFocusMessage, the game giving its own window the focus (as a click into it
// does); kUnloadModuleMessage, the system unloading the hook module from the
// game's thread after the hook went away (Wine never does that by itself), by
// FreeLibrary until the module is gone. After the unload every fault whose address
// lies in the module's former range is logged: code of the module was reached.
// kModuleQueryMessage logs whether the module is still mapped in the game;
// standin::kTextInputMessage plays SDL2's text input starting or stopping;
// standin::kImeOpenMessage closes, opens or reports the player's IME; and
// kFrameStatsMessage the frame times since the last report.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <cwchar>
#include <string>
#include <vector>

#include "chat_interval.h"
#include "common/ascii.h"
#include "frame_loop_win32.h"
#include "framework/unique_handle_win32.h"
#include "standin_ime_win32.h"
#include "tool_support_win32.h"

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT kDefaultTimeoutSeconds = 90;
constexpr UINT kTakeFocusMessage = WM_APP + 1;
constexpr UINT kUnloadModuleMessage = WM_APP + 2;
constexpr UINT kModuleQueryMessage = WM_APP + 4;

struct Game {
    HANDLE log = INVALID_HANDLE_VALUE;
    std::wstring modFolder;  // with a trailing backslash
    std::string sendKey;  // the engine's name of the bound key; empty: none bound
    bool sdlIme = false;  // the IME handled as SDL2 does; the Quake-derived builds leave it to the system
    ChatInterval chat;    // the player's, for say and say_team
};
Game g_game;

void WriteLog(const std::string& line) { AppendLogLine(g_game.log, line); }

// The mod folder as the module decides it: the executable's name first, then the
// first argument that begins with "czero".
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

// The engine's names of the keys by scan code, as its key table has them; letters
// and other printable keys are named by their character. Empty: no key.
const char* const kScanNames[0x59] = {
    "", "ESCAPE", "1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-", "=", "BACKSPACE", "TAB",
    "q", "w", "e", "r", "t", "y", "u", "i", "o", "p", "[", "]", "ENTER", "CTRL", "a", "s",
    "d", "f", "g", "h", "j", "k", "l", "SEMICOLON", "'", "`", "SHIFT", "\\", "z", "x", "c", "v",
    "b", "n", "m", ",", ".", "/", "SHIFT", "*", "ALT", "SPACE", "", "F1", "F2", "F3", "F4", "F5",
    "F6", "F7", "F8", "F9", "F10", "PAUSE", "", "HOME", "UPARROW", "PGUP", "KP_MINUS", "LEFTARROW", "KP_5",
    "RIGHTARROW", "KP_PLUS", "END", "DOWNARROW", "PGDN", "INS", "DEL", "", "", "", "F11", "F12"};

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

// A bind's key name as the engine compares it: one character exactly, a longer
// name with letter case aside.
std::string BindKeyName(const std::string& name) {
    if (name.size() <= 1) return name;
    std::string upper;
    for (char c : name) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    return upper;
}

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

// The last line `bind "<key>" "exec parlix.cfg"` of userconfig.cfg names the send
// key; without one no key executes the file, as in the game.
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
    if (kind != "rcon" && !g_game.chat.Pass(::GetTickCount64())) {
        WriteLog("ignored " + name + ": too soon");
        return;
    }
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
void ExecuteCommandFile() {
    std::string content;
    DWORD error = 0;
    if (!ReadWholeFile(g_game.modFolder + L"parlix.cfg", content, error)) {
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

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        // The game shows no cursor during play; the module relies on that.
        if (LOWORD(lParam) == HTCLIENT) {
            ::SetCursor(nullptr);
            return TRUE;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        WriteLog("keydown " + HexNumber(wParam));
        if (!g_game.sendKey.empty() && EngineKeyName(lParam) == g_game.sendKey) ExecuteCommandFile();
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WriteLog("keyup " + HexNumber(wParam));
        return 0;
    case WM_IME_SETCONTEXT:
        if (!g_game.sdlIme) break;
        return ::DefWindowProcW(window, message, wParam, standin::WithoutImeWindows(lParam));
    case WM_SETFOCUS:
        WriteLog("setfocus");
        return 0;
    case WM_KILLFOCUS:
        WriteLog("killfocus");
        return 0;
    case WM_TIMER:
        if (wParam == kTimeoutTimer) {
            WriteLog("timeout");
            ::DestroyWindow(window);
        }
        return 0;
    case kTakeFocusMessage:
        ::SetFocus(window);
        return 0;
    case standin::kReportLayoutMessage:
        WriteLog(standin::ActiveLayoutLine());
        return 0;
    case standin::kImeOpenMessage:
        WriteLog(standin::PlayerImeOpen(wParam));
        return 0;
    case standin::kTextInputMessage:
        if (g_game.sdlIme) WriteLog(standin::SetTextInput(window, wParam != 0));
        return 0;
    case kUnloadModuleMessage:
        UnloadHookModule();
        return 0;
    case kModuleQueryMessage:
        WriteLog(::GetModuleHandleA("Parlix.dll") != nullptr ? "module loaded" : "module gone");
        return 0;
    case kFrameStatsMessage:
        ReportFrameStats(g_game.log);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> args = CommandLineArguments();

    std::wstring logPath;
    UINT timeoutSeconds = kDefaultTimeoutSeconds;
    std::wstring imeLayout;
    GameLoop loop = GameLoop::Sdl;
    bool knownLoop = true;
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == L"--log") logPath = args[i + 1];
        if (args[i] == L"--ime") imeLayout = args[i + 1];
        if (args[i] == L"--timeout") timeoutSeconds = static_cast<UINT>(std::wcstoul(args[i + 1].c_str(), nullptr, 10));
        if (args[i] == L"--loop") knownLoop = ParseGameLoop(args[i + 1], loop);
    }
    if (!logPath.empty())
        g_game.log = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    g_game.modFolder = DecideModFolder(exePath, args);
    const std::string bound = ReadSendKey(g_game.modFolder);
    g_game.sendKey = BindKeyName(bound);
    WriteLog("start " + Utf8FromWide(exePath) + " mod " + Utf8FromWide(g_game.modFolder));
    WriteLog("sendkey " + bound);
    if (!knownLoop) {
        WriteLog("unknown-loop");
        return 2;
    }
    WriteLog(std::string("loop ") + GameLoopName(loop));

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH));
    windowClass.lpszClassName = L"ParlixStandinGame";
    ::RegisterClassW(&windowClass);
    // The title names the executable so that a person watching the screen can tell games apart.
    const wchar_t* name = std::wcsrchr(exePath, L'\\');
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, name ? name + 1 : exePath,
                                    GameWindowStyle(loop), 40, 40, 800, 600, nullptr, nullptr,
                                    instance, nullptr);
    if (!window) {
        WriteLog("window-failed " + std::to_string(::GetLastError()));
        return 2;
    }
    g_game.sdlIme = loop != GameLoop::Quake;
    if (g_game.sdlIme) WriteLog(standin::TakeImeOffWindow(window));
    if (!imeLayout.empty()) WriteLog(standin::ActivateImeLayout(imeLayout));
    ::SetCursor(nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    if (timeoutSeconds > 0) ::SetTimer(window, kTimeoutTimer, timeoutSeconds * 1000, nullptr);
    WriteLog("window " + HexNumber(reinterpret_cast<UINT_PTR>(window)));

    const int exitCode = RunGameLoop(window, loop, g_game.log);
    WriteLog("exit");
    if (g_game.log != INVALID_HANDLE_VALUE) ::CloseHandle(g_game.log);
    return exitCode;
}
