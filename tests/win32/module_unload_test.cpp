// The system letting go of the module in a process whose box is open, as it
// unloads a hook module when the hook goes away. Each case runs in a child: a copy
// of this program named HL.exe, so that the hook takes its window for the game's.
// The child loads the module, opens the box through HookProc over a window of its
// own, calls FreeLibrary as often as the system might, then types and closes the
// box, and writes what it saw to a file that the test here reads. The module
// pinned itself at the opening: it stays, and the box goes on working.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "hook/exports_win32.h"
#include "registry_test_support.h"
#include "unload_child.h"
#include "window_test_support.h"

namespace {

using testsupport::PumpUntil;

constexpr const char* kHistoryKey = "Software\\Kelvandor\\Parlix\\History";
constexpr WPARAM kTypedKey = 'A';
constexpr DWORD kChildDeadlineMs = 60000;

// ---- The child --------------------------------------------------------------------

// Where the module was mapped; a fault there after the unload is a call into
// code or data of the module that stayed behind in some window.
std::uintptr_t g_moduleBase = 0;
std::uintptr_t g_moduleEnd = 0;
std::atomic<int> g_faults{0};

bool InModule(std::uintptr_t address) { return address >= g_moduleBase && address < g_moduleEnd; }
bool InModule(LONG_PTR address) { return InModule(static_cast<std::uintptr_t>(address)); }

LONG CALLBACK CountModuleFaults(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD& record = *info->ExceptionRecord;
    const bool atCode = InModule(reinterpret_cast<std::uintptr_t>(record.ExceptionAddress));
    const bool atData = record.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record.NumberParameters >= 2 &&
                        InModule(static_cast<std::uintptr_t>(record.ExceptionInformation[1]));
    if (atCode || atData) ++g_faults;
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI EndOnFault(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// The game window of the child: no cursor, and every key it receives is counted.
std::atomic<int> g_gameKeys{0};

LRESULT CALLBACK ChildGameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        ::SetCursor(nullptr);
        return TRUE;
    case WM_KEYDOWN:
        if (wParam == kTypedKey) ++g_gameKeys;
        return 0;
    default:
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

HWND CreateChildGame() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &ChildGameProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = L"ParlixUnloadGame";
    ::RegisterClassW(&windowClass);
    HWND game = ::CreateWindowExW(0, windowClass.lpszClassName, L"game", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                  60, 60, 640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
    PumpUntil([game] {
        if (::GetForegroundWindow() != game) ::SetForegroundWindow(game);
        return ::GetForegroundWindow() == game;
    });
    ::SetFocus(game);
    return game;
}

struct OpenedBox {
    LRESULT hookResult = 0;
    HWND box = nullptr;
    HWND edit = nullptr;
};

// A hot key reaching the hook in the game's thread, as the system would pass it.
OpenedBox OpenThroughTheHook(HMODULE module, HWND game) {
    const auto setHotKeys = reinterpret_cast<SetHotKeysFn>(reinterpret_cast<void*>(::GetProcAddress(module, "SetHotKeys")));
    const auto hookProc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(module, "HookProc")));
    OpenedBox opened;
    if (!setHotKeys || !hookProc) return opened;
    setHotKeys('Y', 'U', 'P', 0);
    ::SetCursor(nullptr);
    opened.hookResult = hookProc(HC_ACTION, 'Y', 0x00150001);
    opened.box = ::FindWindowExW(game, nullptr, L"#32770", nullptr);
    opened.edit = opened.box ? ::GetDlgItem(opened.box, 1002) : nullptr;
    return opened;
}

// FreeLibrary until the module is gone, at most 16 times more than it was loaded.
int FreeRepeatedly(HMODULE module) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(module) + dos->e_lfanew);
    g_moduleBase = reinterpret_cast<std::uintptr_t>(module);
    g_moduleEnd = g_moduleBase + nt->OptionalHeader.SizeOfImage;
    int calls = 0;
    while (HMODULE loaded = ::GetModuleHandleA("Parlix.dll")) {
        if (!::FreeLibrary(loaded) || ++calls > 16) break;
    }
    return calls;
}

// How many of the box's procedures (the dialog's window and dialog procedures, the
// edit's window procedure) point into the module.
int ProceduresOfTheModule(const OpenedBox& opened) {
    int count = 0;
    if (::IsWindow(opened.box)) {
        count += InModule(::GetWindowLongPtrW(opened.box, GWLP_WNDPROC));
        count += InModule(::GetWindowLongPtrW(opened.box, DWLP_DLGPROC));
    }
    if (::IsWindow(opened.edit)) count += InModule(::GetWindowLongPtrW(opened.edit, GWLP_WNDPROC));
    return count;
}

HWND FocusOf(DWORD thread) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void TapKey(BYTE key, BYTE scan) {
    ::keybd_event(key, scan, 0, 0);
    ::keybd_event(key, scan, KEYEVENTF_KEYUP, 0);
}

bool EditHolds(HWND edit, const wchar_t* text) {
    wchar_t buffer[16] = {};
    ::GetWindowTextW(edit, buffer, 16);
    return std::wstring(buffer) == text;
}

using Facts = std::map<std::string, int>;

// What the player sees of the box after the module was let go: it stays, takes
// the keys, and Escape closes it and hands the game its focus. `pump` waits for
// the box's thread to have done something.
void PlayAfterTheRelease(Facts& facts, const OpenedBox& opened, HWND game, DWORD thread,
                         const std::function<bool(const std::function<bool()>&)>& pump) {
    facts["module-stays"] = ::GetModuleHandleA("Parlix.dll") != nullptr;
    facts["procedures-of-module"] = ProceduresOfTheModule(opened);
    facts["box-visible"] = ::IsWindowVisible(opened.box) != FALSE;
    facts["focus-in-edit"] = FocusOf(thread) == opened.edit;
    TapKey(static_cast<BYTE>(kTypedKey), 0x1E);
    facts["typed-into-box"] = pump([&] { return EditHolds(opened.edit, L"a"); });
    TapKey(VK_ESCAPE, 0x01);
    facts["box-gone"] = pump([&] { return !::IsWindow(opened.box); });
    facts["focus-on-game"] = pump([&] { return FocusOf(thread) == game; });
    facts["keys-to-game"] = g_gameKeys;
}

// The box lives in the thread that calls FreeLibrary.
Facts ReleaseOnTheBoxThread(const char* modulePath) {
    Facts facts;
    HWND game = CreateChildGame();
    HMODULE module = ::LoadLibraryA(modulePath);
    if (!module) return facts;
    const OpenedBox opened = OpenThroughTheHook(module, game);
    facts["hook-swallowed"] = opened.hookResult == 1;
    facts["opened"] = opened.edit != nullptr && ::GetFocus() == opened.edit;
    testsupport::PumpPending();
    facts["free-calls"] = FreeRepeatedly(module);
    PlayAfterTheRelease(facts, opened, game, ::GetCurrentThreadId(),
                        [](const std::function<bool()>& done) { return PumpUntil(done); });
    return facts;
}

// The box lives in a thread of its own, which goes on pumping; another thread
// calls FreeLibrary.
Facts ReleaseOnAnotherThread(const char* modulePath) {
    Facts facts;
    HMODULE module = ::LoadLibraryA(modulePath);
    if (!module) return facts;
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> game{nullptr};
    OpenedBox box;
    std::atomic<bool> quit{false};
    std::thread gameThread([&] {
        game = CreateChildGame();
        box = OpenThroughTheHook(module, game);
        ::SetEvent(opened);
        while (!quit) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            testsupport::PumpPending();
        }
        ::DestroyWindow(game);
    });
    ::WaitForSingleObject(opened, kChildDeadlineMs);
    ::CloseHandle(opened);
    const DWORD thread = ::GetWindowThreadProcessId(game, nullptr);
    facts["hook-swallowed"] = box.hookResult == 1;
    facts["opened"] = box.edit != nullptr && FocusOf(thread) == box.edit;
    facts["free-calls"] = FreeRepeatedly(module);
    // The box's thread pumps on its own; this one only waits for it.
    PlayAfterTheRelease(facts, box, game, thread, [](const std::function<bool()>& done) { return PumpUntil(done); });
    quit = true;
    gameThread.join();
    return facts;
}

// ---- The test -------------------------------------------------------------------

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\') + 1); }

class ModuleUnload : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        m_module = Folder(ThisProgramPath()) + "Parlix.dll";
        if (::GetFileAttributesA(m_module.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "Parlix.dll is not built beside the tests";
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "parlix_unload_" + std::to_string(::GetCurrentProcessId()) + "\\";
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileA(ThisProgramPath().c_str(), (m_folder + "HL.exe").c_str(), FALSE));
        // Ten stored messages and a maximum of one: what is saved as the box closes
        // is the newest alone, and it tells a save from a key left as it was.
        PutDword(kAppKey, "Max History Items", 1);
        PutDword(kHistoryKey, "Count", 10);
        for (int i = 0; i < 10; ++i) PutString(kHistoryKey, ("#" + std::to_string(i)).c_str(), "m" + std::to_string(i));
    }
    void TearDown() override {
        ::DeleteFileA((m_folder + "HL.exe").c_str());
        ::DeleteFileA((m_folder + "facts.txt").c_str());
        ::RemoveDirectoryA(m_folder.c_str());
        RegistryTest::TearDown();
    }

    // Runs the child and gives what it wrote; a child that faults or hangs writes nothing.
    Facts RunChild(const char* where) {
        const std::string factsPath = m_folder + "facts.txt";
        std::string commandLine = "\"" + m_folder + "HL.exe\" " + kUnloadChildSwitch + " " + where + " \"" + m_module +
                                  "\" \"" + factsPath + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION child{};
        if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, m_folder.c_str(),
                              &startup, &child)) {
            ADD_FAILURE() << "the child did not start: " << ::GetLastError();
            return {};
        }
        ::CloseHandle(child.hThread);
        if (::WaitForSingleObject(child.hProcess, kChildDeadlineMs) != WAIT_OBJECT_0) {
            ::TerminateProcess(child.hProcess, 99);
            ::WaitForSingleObject(child.hProcess, 5000);
            ADD_FAILURE() << "the child did not end: the game's thread was blocked";
        }
        DWORD exitCode = 0;
        ::GetExitCodeProcess(child.hProcess, &exitCode);
        ::CloseHandle(child.hProcess);
        EXPECT_EQ(exitCode, 0u) << "the child ended with a fault";
        Facts facts;
        std::ifstream in(factsPath);
        std::string name;
        int value = 0;
        while (in >> name >> value) facts[name] = value;
        return facts;
    }

    std::string m_module;
    std::string m_folder;
};

void ExpectCommonFacts(Facts& facts) {
    EXPECT_EQ(facts["hook-swallowed"], 1);
    EXPECT_EQ(facts["opened"], 1) << "the hot key opened the box with the focus in its edit";
    EXPECT_EQ(facts["free-calls"], 17) << "every FreeLibrary succeeds and the module is still there";
    EXPECT_EQ(facts["module-stays"], 1) << "the module left a process with an open box";
    EXPECT_EQ(facts["procedures-of-module"], 3);
    EXPECT_EQ(facts["box-visible"], 1);
    EXPECT_EQ(facts["focus-in-edit"], 1);
    EXPECT_EQ(facts["typed-into-box"], 1) << "a typed key did not reach the box's edit";
    EXPECT_EQ(facts["box-gone"], 1) << "Escape did not close the box";
    EXPECT_EQ(facts["focus-on-game"], 1);
    EXPECT_EQ(facts["keys-to-game"], 0) << "the typed key reached the game behind the box";
    EXPECT_EQ(facts["faults"], 0) << "a fault in the module";
    // Saved as the box went: the newest stored message alone, nothing beyond it.
    EXPECT_EQ(GetBytes(kHistoryKey, "Count"), std::string("\1\0\0\0", 4));
    EXPECT_EQ(Contents(kHistoryKey), (std::set<std::string>{"Count", "#0"}));
    EXPECT_EQ(GetBytes(kHistoryKey, "#0"), std::string("m9\0", 3));
}

TEST_F(ModuleUnload, PinnedModuleKeepsTheBoxOfTheReleasingThreadWorking) {
    Facts facts = RunChild("box-thread");
    ExpectCommonFacts(facts);
}

TEST_F(ModuleUnload, PinnedModuleKeepsTheBoxOfAnotherThreadWorking) {
    Facts facts = RunChild("other-thread");
    ExpectCommonFacts(facts);
}

}  // namespace

int RunUnloadChild(int argc, char** argv) {
    // <program> --unload-child <box-thread|other-thread> <module> <facts file>
    if (argc != 5) return 2;
    const std::string where = argv[2];
    // A fault the system would not swallow ends the child at once with its code,
    // without a debugger that would keep it alive.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::SetUnhandledExceptionFilter(&EndOnFault);
    // First in line, so that a fault is seen even where the system would swallow it.
    PVOID handler = ::AddVectoredExceptionHandler(1, &CountModuleFaults);
    Facts facts = where == "box-thread" ? ReleaseOnTheBoxThread(argv[3]) : ReleaseOnAnotherThread(argv[3]);
    facts["faults"] = g_faults;
    ::RemoveVectoredExceptionHandler(handler);
    std::ofstream out(argv[4]);
    for (const auto& [name, value] : facts) out << name << ' ' << value << '\n';
    return 0;
}
