#include "drive_win32.h"

#include <algorithm>
#include <cstdio>

#include "framework/unique_handle_win32.h"

namespace drive {

namespace {

constexpr DWORD kPollMs = 20;
constexpr int kMessageEditId = 1002;
constexpr int kPromptId = 1004;
const wchar_t kSettingsKey[] = L"Software\\Kelvandor\\Parlix";
const wchar_t kHistoryKey[] = L"Software\\Kelvandor\\Parlix\\History";

// Polls until the condition holds or the deadline passes.
template <class Condition>
bool PollUntil(Condition condition, DWORD deadlineMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > deadlineMs) return false;
        ::Sleep(kPollMs);
    }
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) break;  // a line still being written
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    if (search->className) {
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (std::wstring(name) != search->className) return TRUE;
    }
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> ProcessWindows(DWORD processId, const wchar_t* className, bool visibleOnly) {
    WindowSearch search{processId, className, visibleOnly, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK FindMessageEdit(HWND child, LPARAM parameter) {
    if (::GetDlgCtrlID(child) == kMessageEditId) {
        *reinterpret_cast<HWND*>(parameter) = child;
        return FALSE;
    }
    return TRUE;
}

void SendKeyInput(WORD key, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

UniqueHkey CreateKey(const wchar_t* path) {
    UniqueHkey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
    return key;
}

}  // namespace

std::wstring ProgramFolder() {
    // PARLIX_PROGRAM_FOLDER points the tests at the programs of another build, the
    // 32-bit product's; otherwise they are the ones beside this program.
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"PARLIX_PROGRAM_FOLDER", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        std::wstring folder(path, length);
        std::replace(folder.begin(), folder.end(), L'/', L'\\');
        if (folder.back() != L'\\') folder += L'\\';
        return folder;
    }
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring Utf8ToWide(const std::string& text) {
    int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

std::string WideToUtf8(const std::wstring& text) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                          nullptr);
    return result;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    UniqueFile file = AdoptFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    bytes.clear();
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return true;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile file = AdoptFile(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void DeleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(child.c_str());
            }
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path.c_str());
}

TempFolder::TempFolder(const std::wstring& prefix) {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring base = std::wstring(temp) + L"parlix-" + prefix + L"-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(base.c_str(), nullptr);
    m_path = base + L"\\" + std::to_wstring(++counter);
    DeleteTree(m_path);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
    m_path += L"\\";
}

TempFolder::~TempFolder() {
    DeleteTree(m_path.substr(0, m_path.size() - 1));
}

std::string LogFile::Read() const {
    std::string text;
    ReadFileBytes(m_path, text);
    return text;
}

bool LogFile::Contains(const std::string& line) const {
    for (const std::string& each : SplitLines(Read()))
        if (each == line) return true;
    return false;
}

size_t LogFile::Count(const std::string& line) const {
    size_t count = 0;
    for (const std::string& each : SplitLines(Read()))
        if (each == line) ++count;
    return count;
}

bool LogFile::WaitForLine(const std::string& line, DWORD deadlineMs) const {
    return PollUntil([&] { return Contains(line); }, deadlineMs);
}

bool LogFile::WaitForPrefix(const std::string& prefix, std::string* found, DWORD deadlineMs) const {
    return PollUntil(
        [&] {
            for (const std::string& each : SplitLines(Read())) {
                if (each.compare(0, prefix.size(), prefix) == 0) {
                    if (found) *found = each;
                    return true;
                }
            }
            return false;
        },
        deadlineMs);
}

Process::Process(Process&& other) noexcept
    : m_process(std::exchange(other.m_process, nullptr)), m_id(std::exchange(other.m_id, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Stop();
        m_process = std::exchange(other.m_process, nullptr);
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

bool Process::Start(const std::wstring& exe, const std::wstring& arguments) {
    Stop();
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool Process::Running() const {
    return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

void Process::Stop() {
    if (!m_process) return;
    if (Running()) {
        for (HWND window : ProcessWindows(m_id, nullptr, false)) ::PostMessageW(window, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process, 3000) != WAIT_OBJECT_0) {
            ::TerminateProcess(m_process, 99);
            ::WaitForSingleObject(m_process, 3000);
        }
    }
    ::CloseHandle(m_process);
    m_process = nullptr;
    m_id = 0;
}

bool Process::WaitForExit(DWORD* exitCode, DWORD deadlineMs) {
    if (!m_process || ::WaitForSingleObject(m_process, deadlineMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process, &code);
    if (exitCode) *exitCode = code;
    return true;
}

HWND FindProcessWindow(DWORD processId, const wchar_t* className) {
    std::vector<HWND> windows = ProcessWindows(processId, className, true);
    return windows.empty() ? nullptr : windows.front();
}

HWND WaitForProcessWindow(DWORD processId, const wchar_t* className, DWORD deadlineMs) {
    HWND window = nullptr;
    PollUntil([&] { return (window = FindProcessWindow(processId, className)) != nullptr; }, deadlineMs);
    return window;
}

bool WaitForForeground(HWND window, DWORD deadlineMs) {
    return PollUntil([&] { return ::GetForegroundWindow() == window; }, deadlineMs);
}

HWND FocusOfThread(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool WaitForFocus(HWND window, DWORD deadlineMs) {
    return PollUntil([&] { return FocusOfThread(window) == window; }, deadlineMs);
}

ChatBox FindChatBox(HWND game) {
    ChatBox box;
    HWND edit = nullptr;
    ::EnumChildWindows(game, FindMessageEdit, reinterpret_cast<LPARAM>(&edit));
    if (!edit) return box;
    HWND dialog = ::GetParent(edit);
    if (!dialog || !::IsWindowVisible(dialog)) return box;
    box.dialog = dialog;
    box.edit = edit;
    box.prompt = ::GetDlgItem(dialog, kPromptId);
    return box;
}

bool WaitForChatBox(HWND game, ChatBox& box, DWORD deadlineMs) {
    return PollUntil([&] { return (box = FindChatBox(game)).dialog != nullptr; }, deadlineMs);
}

bool WaitForNoChatBox(HWND game, DWORD deadlineMs) {
    // Closing hides the box before it destroys it; wait for the destruction.
    return PollUntil(
        [&] {
            HWND edit = nullptr;
            ::EnumChildWindows(game, FindMessageEdit, reinterpret_cast<LPARAM>(&edit));
            return edit == nullptr;
        },
        deadlineMs);
}

bool WaitForCandidates(const ChatBox& box, const RECT& closed, DWORD deadlineMs) {
    return PollUntil(
        [&] {
            RECT now;
            return ::GetWindowRect(box.dialog, &now) && now.top < closed.top;
        },
        deadlineMs);
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR result = 0;
    // WM_GETTEXT reaches an edit of another process, whose text the system does not keep for it.
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                               &result))
        return L"<no answer>";
    return text;
}

bool WaitForWindowText(HWND window, const std::wstring& text, DWORD deadlineMs) {
    return PollUntil([&] { return WindowText(window) == text; }, deadlineMs);
}

bool WaitForMessageBox(DWORD processId, MessageBoxWindow& box, DWORD deadlineMs) {
    return PollUntil(
        [&] {
            std::vector<HWND> dialogs = ProcessWindows(processId, L"#32770", true);
            for (HWND dialog : dialogs) {
                // A top-level dialog of the game process: the chat box is a child, so this is the message box.
                box.window = dialog;
                box.caption = WindowText(dialog);
                box.text.clear();
                for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
                    wchar_t name[32] = {};
                    ::GetClassNameW(child, name, 32);
                    std::wstring text = WindowText(child);
                    if (std::wstring(name) == L"Static" && !text.empty()) box.text = text;
                }
                if (!box.text.empty()) return true;
            }
            return false;
        },
        deadlineMs);
}

void KeyDown(WORD key) {
    SendKeyInput(key, static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), 0);
}

void KeyUp(WORD key) {
    SendKeyInput(key, static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), KEYEVENTF_KEYUP);
}

void TapKey(WORD key) {
    KeyDown(key);
    KeyUp(key);
}

void TapExtendedKey(WORD key) {
    const auto scan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    SendKeyInput(key, scan, KEYEVENTF_EXTENDEDKEY);
    SendKeyInput(key, scan, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        SendKeyInput(0, c, KEYEVENTF_UNICODE);
        SendKeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
}

void ResetSettings() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

void SetSetting(const wchar_t* name, const std::wstring& value) {
    UniqueHkey key = CreateKey(kSettingsKey);
    ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SetSetting(const wchar_t* name, DWORD value) {
    UniqueHkey key = CreateKey(kSettingsKey);
    ::RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void DeleteHistory() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kHistoryKey);
}

StoredHistory ReadHistory() {
    StoredHistory history;
    UniqueHkey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kHistoryKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return history;
    history.exists = true;
    DWORD size = sizeof history.count;
    ::RegQueryValueExW(key.get(), L"Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&history.count), &size);
    for (DWORD i = 0; i < history.count && i < 64; ++i) {
        wchar_t data[1024] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        const std::wstring name = L"#" + std::to_wstring(i);
        if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                               &dataSize) == ERROR_SUCCESS)
            history.entries.push_back(WideToUtf8(data));
        else
            history.entries.push_back("<missing>");
    }
    return history;
}

bool IsSdl2GlLoop(const std::wstring& loop) { return loop.rfind(L"sdl2-gl", 0) == 0; }

std::wstring GameProgram(const std::wstring& loop) {
    return IsSdl2GlLoop(loop) ? L"ParlixSdlGame.exe" : L"ParlixStandinGame.exe";
}

const wchar_t* GameWindowClass(const std::wstring& loop) {
    return IsSdl2GlLoop(loop) ? L"SDL_app" : L"ParlixStandinGame";
}

std::wstring StageGame(const std::wstring& folder, const std::wstring& name, bool withModFolders,
                       const std::wstring& loop) {
    std::wstring exe = folder + name;
    ::CopyFileW((ProgramFolder() + GameProgram(loop)).c_str(), exe.c_str(), FALSE);
    if (IsSdl2GlLoop(loop)) ::CopyFileW((ProgramFolder() + L"SDL2.dll").c_str(), (folder + L"SDL2.dll").c_str(), FALSE);
    if (withModFolders) {
        ::CreateDirectoryW((folder + L"cstrike").c_str(), nullptr);
        ::CreateDirectoryW((folder + L"czero").c_str(), nullptr);
    }
    return exe;
}

bool BindSendKey(const std::wstring& folder, const std::string& gameKey) {
    const std::string line = "bind \"" + gameKey + "\" \"exec parlix.cfg\"\r\n";
    return WriteFileBytes(folder + L"cstrike\\userconfig.cfg", line) &&
           WriteFileBytes(folder + L"czero\\userconfig.cfg", line);
}

bool StartGame(Process& process, const std::wstring& exe, const LogFile& log, const std::wstring& arguments) {
    return process.Start(exe, L"--log \"" + log.Path() + L"\" --timeout 60 " + arguments);
}

bool StartHost(Process& process, const LogFile& log, const std::wstring& module) {
    std::wstring arguments = L"--log \"" + log.Path() + L"\" --timeout 120 ";
    if (!module.empty()) arguments += L"--module \"" + module + L"\" ";
    arguments += L"0x59 0x55 0x50 0";
    if (!process.Start(ProgramFolder() + L"ParlixTestHost.exe", arguments)) return false;
    return log.WaitForPrefix("installed ");
}

ScreenPixels CaptureScreen(const RECT& rect) {
    ScreenPixels shot;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return shot;
    HDC screen = ::GetDC(nullptr);
    UniqueMemoryDC memory(::CreateCompatibleDC(screen));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory.get(), old);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;  // top-down rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    const int rows = ::GetDIBits(screen, bitmap.get(), 0, static_cast<UINT>(height), pixels.data(),
                                 reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != height) return shot;
    shot.rect = rect;
    shot.pixels.reserve(pixels.size());
    // The DIB holds 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    for (DWORD pixel : pixels)
        shot.pixels.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
    return shot;
}

bool SaveWindowScreenshot(HWND window, const std::wstring& path) {
    RECT rect;
    if (!::GetWindowRect(window, &rect)) return false;
    const ScreenPixels shot = CaptureScreen(rect);
    if (shot.pixels.empty()) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;

    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up rows, as a BMP file stores them
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<BYTE> pixels(rowBytes * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        BYTE* row = pixels.data() + static_cast<size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = shot.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            *row++ = GetBValue(colour);
            *row++ = GetGValue(colour);
            *row++ = GetRValue(colour);
        }
    }

    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + static_cast<DWORD>(pixels.size());
    UniqueFile file = AdoptFile(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(file.get(), &fileHeader, sizeof fileHeader, &written, nullptr) &&
              ::WriteFile(file.get(), &header, sizeof header, &written, nullptr) &&
              ::WriteFile(file.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    return ok;
}

}  // namespace drive
