// ParlixHost.exe: the program players run. It keeps the settings, loads Parlix.dll
// from its own folder, sets the hot keys, installs the keyboard hook and pumps
// messages for as long as it runs (Windows routes the hook calls of processes of
// the other bitness to this thread; a host that stops pumping stalls their
// keyboard), and removes the hook when it ends. One copy runs per user session.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/unique_handle_win32.h"
#include "framework/win_app_win32.h"
#include "game_setup_win32.h"
#include "hook_module_win32.h"
#include "host/host_command_line.h"
#include "host/host_settings.h"
#include "host_log_win32.h"
#include "host_text_win32.h"
#include "host_window_win32.h"
#include "app/hook_app_win32.h"
#include "settings/registry_profile_store_win32.h"

namespace {

constexpr const wchar_t* kInstanceMutex = L"Local\\ParlixHost.SingleInstance";
constexpr DWORD kFindWindowMilliseconds = 5000;

std::vector<std::string> ArgumentsAfterProgramName() {
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; argv && i < count; ++i) args.push_back(Utf8FromWide(argv[i]));
    if (argv) ::LocalFree(argv);
    return args;
}

// Text for the user who started us from a console; a message box when there is none.
void Report(const std::string& utf8, bool error) {
    HANDLE out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    UniqueFile console;
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        console = AdoptFile(::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
        out = console.get();
    }
    DWORD written = 0;
    DWORD mode = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE && ::GetConsoleMode(out, &mode)) {
        // A console shows UTF-16 whatever its code page; bytes would show as another page's characters.
        const std::wstring text = WideFromUtf8(utf8);
        if (::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) return;
    }
    // A pipe or a file gets UTF-8.
    if (out != nullptr && out != INVALID_HANDLE_VALUE &&
        ::WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr))
        return;
    ::MessageBoxW(nullptr, WideFromUtf8(utf8).c_str(), L"Parlix", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

CAppSettings LoadSavedSettings() {
    RegistryProfileStore profile(kRegistryMaker, kRegistryProfile);
    CAppSettings settings;
    settings.Load(profile);
    return settings;
}

// --setup-game and --remove-game-setup: the outcome on the console, 0 when done.
int RunGameSetUp(HostAction action) {
    const bool setUp = action == HostAction::SetUpGame;
    GameSetupResult result = setUp ? SetUpGame(LoadSavedSettings()) : RemoveGameSetUp(LoadSavedSettings());
    HostLog(std::string(setUp ? "setup-game " : "remove-game-setup ") + (result.ok ? "ok" : "failed"));
    std::string text = Utf8FromWide(result.report);
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 1)) text.erase(at, 1);
    Report(text + "\n", !result.ok);
    return result.ok ? 0 : 1;
}

// The running copy's window may not exist yet when it has only just started.
void BringUpRunningCopy() {
    const DWORD start = ::GetTickCount();
    do {
        if (HWND running = ::FindWindowW(CHostWindow::kClassName, nullptr)) {
            DWORD processId = 0;
            ::GetWindowThreadProcessId(running, &processId);
            ::AllowSetForegroundWindow(processId);
            if (::PostMessageW(running, CHostWindow::ShowRequestMessage(), 0, 0))
                HostLog("second-instance brought-up");
            else
                HostLog("second-instance not-brought-up");
            return;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < kFindWindowMilliseconds);
    HostLog("second-instance no-window");
}

int RunHost(HINSTANCE instance, bool minimized) {
    UniqueHandle<HANDLE, CloseKernelHandle> mutex(::CreateMutexW(nullptr, FALSE, kInstanceMutex));
    const DWORD mutexError = ::GetLastError();
    // A copy that runs with other rights (elevated) made the mutex and refuses us
    // access to it: it runs all the same, and a second hook would share its handle.
    if ((mutex && mutexError == ERROR_ALREADY_EXISTS) || (!mutex && mutexError == ERROR_ACCESS_DENIED)) {
        HostLog(mutex ? "second-instance" : "second-instance access-denied");
        BringUpRunningCopy();
        return 0;
    }
    HostLog("start");
    AfxSetResourceHandle(instance);
    if (!CHostWindow::RegisterWindowClass(instance)) {
        HostLog("no-window-class");
        return 3;
    }
    const CAppSettings saved = LoadSavedSettings();
    HookModule hook;
    if (hook.Load(HostFolder())) {
        hook.SetHotKeys(HotKeyCodes(saved));
        hook.Install();
    }
    CHostWindow window(hook, saved, ReadHostAutoRun());
    if (!window.Open(minimized || saved.m_bStartMinimized)) {
        HostLog("no-window");
        return 3;
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.m_hWnd && ::IsDialogMessageW(window.m_hWnd, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    hook.Uninstall();
    HostLog("exit");
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        const HostLanguage language = UserLanguage();
        const HostOptions options = ParseHostCommandLine(ArgumentsAfterProgramName(), language);
        if (!options.logPath.empty()) OpenHostLog(WideFromUtf8(options.logPath));
        switch (options.action) {
        case HostAction::Help:
            if (!options.error.empty()) {
                Report(options.error + "\n\n" + std::string(Text(HostText::Usage, language)), true);
                return 2;
            }
            Report(std::string(Text(HostText::Usage, language)), false);
            return 0;
        case HostAction::SetUpGame:
        case HostAction::RemoveGameSetUp:
            return RunGameSetUp(options.action);
        case HostAction::Run:
            return RunHost(instance, options.minimized);
        }
    } catch (...) {
        HostLog("failed");
    }
    return 3;
}
