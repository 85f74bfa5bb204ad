// The stand-in game: a top-level window without a cursor that records every key
// it receives and, on its send key, "executes" parlix.cfg of its mod folder by
// recording the file's content. It plays the game's part for the module in the
// end-to-end tests and the demo.
//
// Usage: <name>.exe --log <file> [--timeout <seconds>] [game arguments...]
// Log lines (UTF-8, one per event): "start <exe>", "sendkey 0x7b",
// "window 0x...", "keydown 0x59", "keyup 0x59", "setfocus", "killfocus",
// "exec <file content>", "exec-failed <error>", "exit".
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/unique_handle_win32.h"
#include "tool_support_win32.h"

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT kDefaultTimeoutSeconds = 90;
constexpr WORD kDefaultSendKey = VK_F12;

struct Game {
    HANDLE log = INVALID_HANDLE_VALUE;
    std::wstring modFolder;  // with a trailing backslash
    WORD sendKey = kDefaultSendKey;
};
Game g_game;

void WriteLog(const std::string& line) { AppendLogLine(g_game.log, line); }

bool EqualsAsciiNoCase(const std::wstring& a, const wchar_t* b) {
    size_t n = std::wcslen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return true;
}

// The mod folder as the module decides it: the executable's name first, then the
// first argument that begins with "czero".
std::wstring DecideModFolder(const std::wstring& exePath, const std::vector<std::wstring>& args) {
    size_t slash = exePath.find_last_of(L"\\/");
    std::wstring folder = exePath.substr(0, slash + 1);
    std::wstring name = exePath.substr(slash + 1);
    if (EqualsAsciiNoCase(name, L"CStrike.exe")) return folder + L"cstrike\\";
    if (EqualsAsciiNoCase(name, L"CZero.exe")) return folder + L"czero\\";
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].size() >= 5 && EqualsAsciiNoCase(args[i].substr(0, 5), L"czero")) return folder + L"czero\\";
    }
    return folder + L"cstrike\\";
}

// Key names as the game's bind command spells them; enough for the send keys
// that the tests and the demo bind.
WORD KeyFromBindName(const std::string& raw) {
    std::string name;
    for (char c : raw) name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (name.size() == 1 && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= '0' && name[0] <= '9')))
        return static_cast<WORD>(name[0]);
    if (name.size() >= 2 && name[0] == 'F') {
        int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 24 && name.find_first_not_of("0123456789", 1) == std::string::npos)
            return static_cast<WORD>(VK_F1 + n - 1);
    }
    static const struct { const char* name; WORD key; } named[] = {
        {"INS", VK_INSERT}, {"DEL", VK_DELETE}, {"HOME", VK_HOME}, {"END", VK_END},
        {"PGUP", VK_PRIOR}, {"PGDN", VK_NEXT}, {"SPACE", VK_SPACE}, {"TAB", VK_TAB},
        {"PAUSE", VK_PAUSE}, {"BACKSPACE", VK_BACK},
    };
    for (const auto& entry : named)
        if (name == entry.name) return entry.key;
    return 0;
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

// The last line `bind "<key>" "exec parlix.cfg"` of userconfig.cfg names the send key.
WORD ReadSendKey(const std::wstring& modFolder) {
    std::string content;
    DWORD error = 0;
    if (!ReadWholeFile(modFolder + L"userconfig.cfg", content, error)) return kDefaultSendKey;
    WORD key = kDefaultSendKey;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) end = content.size();
        std::vector<std::string> words = SplitWords(content.substr(start, end - start));
        if (words.size() == 3 && words[0] == "bind" && words[2] == "exec parlix.cfg") {
            WORD bound = KeyFromBindName(words[1]);
            if (bound != 0) key = bound;
        }
        start = end + 1;
    }
    return key;
}

void ExecuteCommandFile() {
    std::string content;
    DWORD error = 0;
    if (ReadWholeFile(g_game.modFolder + L"parlix.cfg", content, error))
        WriteLog("exec " + content);
    else
        WriteLog("exec-failed " + std::to_string(error));
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
        if (wParam == g_game.sendKey) ExecuteCommandFile();
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        WriteLog("keyup " + HexNumber(wParam));
        return 0;
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
    for (size_t i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == L"--log") logPath = args[i + 1];
        if (args[i] == L"--timeout") timeoutSeconds = static_cast<UINT>(std::wcstoul(args[i + 1].c_str(), nullptr, 10));
    }
    if (!logPath.empty())
        g_game.log = ::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);

    wchar_t exePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    g_game.modFolder = DecideModFolder(exePath, args);
    g_game.sendKey = ReadSendKey(g_game.modFolder);
    WriteLog("start " + Utf8FromWide(exePath) + " mod " + Utf8FromWide(g_game.modFolder));
    WriteLog("sendkey " + HexNumber(g_game.sendKey));

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH));
    windowClass.lpszClassName = L"ParlixStandinGame";
    ::RegisterClassW(&windowClass);
    // The title names the executable so that a person watching the screen can tell games apart.
    const wchar_t* name = std::wcsrchr(exePath, L'\\');
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, name ? name + 1 : exePath,
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 800, 600, nullptr, nullptr,
                                    instance, nullptr);
    if (!window) {
        WriteLog("window-failed " + std::to_string(::GetLastError()));
        return 2;
    }
    ::SetCursor(nullptr);
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    if (timeoutSeconds > 0) ::SetTimer(window, kTimeoutTimer, timeoutSeconds * 1000, nullptr);
    WriteLog("window " + HexNumber(reinterpret_cast<UINT_PTR>(window)));

    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    WriteLog("exit");
    if (g_game.log != INVALID_HANDLE_VALUE) ::CloseHandle(g_game.log);
    return 0;
}
