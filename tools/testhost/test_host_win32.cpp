// The test host: stands in for the host application. It loads the module, sets
// the hot keys, installs the hook, pumps messages (a host that does not pump
// stalls the keyboard of the processes the hook is routed through) until its
// hidden window gets WM_CLOSE or its time runs out, then removes the hook.
//
// Usage: ParlixTestHost.exe [--module <path>] [--log <file>] [--timeout <seconds>]
//                           <say key> <say-team key> <rcon-say key> [<fourth key>]
// Keys are numbers (0x59 or 89). The module defaults to Parlix.dll beside the host.
// Log lines: "loaded <path>", "hotkeys ...", "installed 0x..." or "install-failed",
// "uninstalled", "exit". Exit code: 0 done, 1 usage, 2 load failed, 3 export
// missing, 4 InstallHook returned null.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/unique_handle_win32.h"
#include "hook/exports_win32.h"
#include "tool_support_win32.h"

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
UniqueFile g_log;

void WriteLog(const std::string& line) { AppendLogLine(g_log.get(), line); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimeoutTimer) ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct Options {
    std::wstring module;
    std::wstring log;
    UINT timeoutSeconds = 120;
    std::vector<WORD> keys;
};

bool ParseOptions(const std::vector<std::wstring>& args, Options& options) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == L"--module" && i + 1 < args.size()) {
            options.module = args[++i];
        } else if (args[i] == L"--log" && i + 1 < args.size()) {
            options.log = args[++i];
        } else if (args[i] == L"--timeout" && i + 1 < args.size()) {
            options.timeoutSeconds = static_cast<UINT>(std::wcstoul(args[++i].c_str(), nullptr, 10));
        } else {
            wchar_t* end = nullptr;
            unsigned long key = std::wcstoul(args[i].c_str(), &end, 0);
            if (end == args[i].c_str() || *end != L'\0') return false;
            options.keys.push_back(static_cast<WORD>(key));
        }
    }
    if (options.keys.size() < 3 || options.keys.size() > 4) return false;
    options.keys.resize(4, 0);
    return true;
}

std::wstring ModuleBesideHost() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"Parlix.dll";
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    const std::vector<std::wstring> args = CommandLineArguments();

    Options options;
    if (!ParseOptions(args, options)) return 1;
    if (!options.log.empty())
        g_log = AdoptFile(::CreateFileW(options.log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (options.module.empty()) options.module = ModuleBesideHost();

    HMODULE module = ::LoadLibraryW(options.module.c_str());
    if (!module) {
        WriteLog("load-failed " + Utf8FromWide(options.module) + " " + std::to_string(::GetLastError()));
        return 2;
    }
    WriteLog("loaded " + Utf8FromWide(options.module));
    auto setHotKeys = reinterpret_cast<SetHotKeysFn>(reinterpret_cast<void*>(::GetProcAddress(module, "SetHotKeys")));
    auto installHook = reinterpret_cast<InstallHookFn>(reinterpret_cast<void*>(::GetProcAddress(module, "InstallHook")));
    auto uninstallHook =
        reinterpret_cast<UninstallHookFn>(reinterpret_cast<void*>(::GetProcAddress(module, "UninstallHook")));
    if (!setHotKeys || !installHook || !uninstallHook) {
        WriteLog("export-missing");
        return 3;
    }

    setHotKeys(options.keys[0], options.keys[1], options.keys[2], options.keys[3]);
    WriteLog("hotkeys " + HexNumber(options.keys[0]) + " " + HexNumber(options.keys[1]) + " " + HexNumber(options.keys[2]) + " " +
             HexNumber(options.keys[3]));
    HHOOK hook = installHook();
    if (!hook) {
        WriteLog("install-failed");
        ::FreeLibrary(module);
        return 4;
    }

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"ParlixTestHost";
    ::RegisterClassW(&windowClass);
    // Hidden: the tests find it among the host process's windows and send WM_CLOSE.
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Parlix test host", WS_OVERLAPPED, 0, 0, 10, 10,
                                    nullptr, nullptr, instance, nullptr);
    if (window && options.timeoutSeconds > 0) ::SetTimer(window, kTimeoutTimer, options.timeoutSeconds * 1000, nullptr);
    WriteLog("installed " + HexNumber(reinterpret_cast<UINT_PTR>(hook)));

    MSG message;
    while (window && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    uninstallHook();
    WriteLog("uninstalled");
    ::FreeLibrary(module);
    WriteLog("exit");
    return 0;
}
