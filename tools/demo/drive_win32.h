// Driving the module from outside, as a player and the host would: staging a game
// folder, writing the settings, starting and stopping the test host and the
// stand-in game, waiting for their log lines and windows, pressing keys. Shared
// by the demo and the end-to-end tests. Every wait has a deadline of a few
// seconds, so that nothing hangs when windows or keys do not work.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drive {

constexpr DWORD kDeadlineMs = 5000;

// The hot keys the host sets: Y says, U says to the team, P says by rcon.
constexpr WORD kSayKey = 'Y';
constexpr WORD kSayTeamKey = 'U';
constexpr WORD kRconKey = 'P';

// The folder of the programs under test, with a trailing backslash.
std::wstring ProgramFolder();
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
bool FileExists(const std::wstring& path);
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
// Creates or replaces the file with exactly these bytes.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
void DeleteTree(const std::wstring& path);

// A fresh folder below the temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return m_path; }  // with a trailing backslash

private:
    std::wstring m_path;
};

// A log file that a child process appends lines to.
class LogFile {
public:
    explicit LogFile(std::wstring path) : m_path(std::move(path)) {}
    const std::wstring& Path() const { return m_path; }
    std::string Read() const;
    bool Contains(const std::string& line) const;
    size_t Count(const std::string& line) const;  // lines equal to `line`
    // Waits until a whole line equals `line`.
    bool WaitForLine(const std::string& line, DWORD deadlineMs = kDeadlineMs) const;
    // Waits until some line begins with `prefix` and gives that line.
    bool WaitForPrefix(const std::string& prefix, std::string* found = nullptr, DWORD deadlineMs = kDeadlineMs) const;

private:
    std::wstring m_path;
};

// A child process that is stopped (WM_CLOSE to its windows, then terminated) when
// the object ends, so that no test leaves a process behind.
class Process {
public:
    Process() = default;
    ~Process() { Stop(); }
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Start(const std::wstring& exe, const std::wstring& arguments);
    bool Running() const;
    DWORD Id() const { return m_id; }
    // Closes its windows and waits; terminates it when it does not end in time.
    void Stop();
    // Waits for its end and gives its exit code, or false at the deadline.
    bool WaitForExit(DWORD* exitCode, DWORD deadlineMs = kDeadlineMs);

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
};

// A visible top-level window of a process, or null.
HWND FindProcessWindow(DWORD processId, const wchar_t* className);
HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, DWORD deadlineMs = kDeadlineMs);
bool WaitForForeground(HWND window, DWORD deadlineMs = kDeadlineMs);
// The window that has the keyboard focus in the thread that owns `window`.
HWND FocusOfThread(HWND window);
// Waits until `window` has the keyboard focus of its thread.
bool WaitForFocus(HWND window, DWORD deadlineMs = kDeadlineMs);

// The chat box: the child dialog of the game window that holds the message edit.
struct ChatBox {
    HWND dialog = nullptr;
    HWND edit = nullptr;
    HWND prompt = nullptr;
};
ChatBox FindChatBox(HWND game);
bool WaitForChatBox(HWND game, ChatBox& box, DWORD deadlineMs = kDeadlineMs);
// Waits until the box window is destroyed, not only hidden.
bool WaitForNoChatBox(HWND game, DWORD deadlineMs = kDeadlineMs);
// The box grows upward over the game while it shows an IME's candidates: waits
// until its window reaches above `closed`, its place without them.
bool WaitForCandidates(const ChatBox& box, const RECT& closed, DWORD deadlineMs = kDeadlineMs);
std::wstring WindowText(HWND window);  // asks the window itself, across processes
bool WaitForWindowText(HWND window, const std::wstring& text, DWORD deadlineMs = kDeadlineMs);

// A message box (dialog class #32770) shown by a process, with its caption and text.
struct MessageBoxWindow {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};
bool WaitForMessageBox(DWORD processId, MessageBoxWindow& box, DWORD deadlineMs = kDeadlineMs);

// Synthetic input into the system's input stream, taken by the foreground window.
void KeyDown(WORD key);
void KeyUp(WORD key);
void TapKey(WORD key);
// A press and release with the extended-key flag, as a keyboard sends Insert,
// Delete, Home, End, Page Up and Page Down (TapKey gives their keypad twins).
void TapExtendedKey(WORD key);
void TypeText(const std::wstring& text);  // KEYEVENTF_UNICODE, one character at a time

// The settings in HKEY_CURRENT_USER\Software\Kelvandor\Parlix.
void ResetSettings();
void SetSetting(const wchar_t* name, const std::wstring& value);
void SetSetting(const wchar_t* name, DWORD value);
void DeleteHistory();
struct StoredHistory {
    bool exists = false;
    DWORD count = 0;
    std::vector<std::string> entries;  // "#0", "#1", ... up to the count, in UTF-8
};
StoredHistory ReadHistory();

// The game loops: "sdl" (the default), "sdl-noclip" and "quake" run the GDI
// stand-in game (ParlixStandinGame.exe); "sdl2-gl" and "sdl2-gl-fullscreen" run
// the SDL2 game that renders with OpenGL (ParlixSdlGame.exe, beside SDL2.dll).
bool IsSdl2GlLoop(const std::wstring& loop);
// The program of the loop in the programs folder, and its window class.
std::wstring GameProgram(const std::wstring& loop);
const wchar_t* GameWindowClass(const std::wstring& loop);
// Copies the game program of the loop under `name` into `folder` (the SDL2 game
// with SDL2.dll beside it) and, when asked, creates the mod folders below it.
std::wstring StageGame(const std::wstring& folder, const std::wstring& name, bool withModFolders = true,
                       const std::wstring& loop = L"sdl");
// Writes the line the host's game set-up writes, bind "<key>" "exec parlix.cfg",
// as the whole userconfig.cfg of both mod folders of a staged game.
bool BindSendKey(const std::wstring& folder, const std::string& gameKey);
// Starts a game with its log; the game's timeout keeps it from outliving a run.
bool StartGame(Process& process, const std::wstring& exe, const LogFile& log, const std::wstring& arguments = L"");
// Starts the test host with the hot keys Y, U and P; waits for "installed".
bool StartHost(Process& process, const LogFile& log, const std::wstring& module = L"");

// The screen's pixels in a rectangle of screen coordinates, read through the
// screen DC (under Wine another process's window DC reads nothing).
struct ScreenPixels {
    RECT rect{};
    std::vector<COLORREF> pixels;  // row by row from the top
    COLORREF At(int screenX, int screenY) const {
        return pixels[static_cast<size_t>(screenY - rect.top) * static_cast<size_t>(rect.right - rect.left) +
                      static_cast<size_t>(screenX - rect.left)];
    }
};
ScreenPixels CaptureScreen(const RECT& rect);  // empty pixels when the rectangle cannot be read

// Saves the screen area of a window as a 24-bit BMP file.
bool SaveWindowScreenshot(HWND window, const std::wstring& path);

}  // namespace drive
