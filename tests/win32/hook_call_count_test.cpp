// The platform calls of the loaded module's HookProc, counted: every slot of the
// module's own import table for the system DLLs is pointed at a generated stub that
// bumps that slot's counter and jumps on to the real function. Nothing is known about
// the functions' signatures, so every call the module makes through its imports is
// seen, whatever the function.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hook/exports_win32.h"
#include "registry_test_support.h"
#include "window_test_support.h"

namespace {

const char* const kCountedDlls[] = {"USER32.dll", "KERNEL32.dll", "GDI32.dll", "IMM32.dll", "SHLWAPI.dll", "ADVAPI32.dll"};

bool IsCountedDll(const char* name) {
    for (const char* dll : kCountedDlls)
        if (_stricmp(name, dll) == 0) return true;
    return false;
}

struct ImportSlot {
    std::string name;
    void** entry = nullptr;  // the module's import address table entry
    void* original = nullptr;
    volatile LONG count = 0;
};

// The stub of one slot. Only scratch state is touched: the flags on both builds and,
// on x86_64, r11, which carries no argument in the Windows calling convention.
constexpr size_t kStubSize = 32;

void WriteStub(unsigned char* stub, ImportSlot& slot) {
    unsigned char* at = stub;
    auto put = [&at](std::initializer_list<unsigned char> bytes) {
        for (unsigned char byte : bytes) *at++ = byte;
    };
    auto putAddress = [&at](const volatile void* address) {
        const auto value = reinterpret_cast<std::uintptr_t>(address);
        std::memcpy(at, &value, sizeof value);
        at += sizeof value;
    };
#if defined(__x86_64__)
    put({0x49, 0xBB});  // mov r11, &count
    putAddress(&slot.count);
    put({0xF0, 0x41, 0xFF, 0x03});  // lock inc dword ptr [r11]
    put({0x49, 0xBB});              // mov r11, original
    putAddress(slot.original);
    put({0x41, 0xFF, 0xE3});  // jmp r11
#elif defined(__i386__)
    put({0xF0, 0xFF, 0x05});  // lock inc dword ptr [&count]
    putAddress(&slot.count);
    put({0xFF, 0x25});  // jmp dword ptr [&original]
    putAddress(&slot.original);
#else
#error "counting stubs are written for x86 and x86_64 only"
#endif
    static_assert(kStubSize >= 27);
}

void WriteEntry(void** entry, void* value) {
    DWORD old = 0;
    ::VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &old);
    *entry = value;
    ::VirtualProtect(entry, sizeof *entry, old, &old);
}

// While it lives, every call of `module` into the counted system DLLs is counted.
class ImportCallCounter {
public:
    explicit ImportCallCounter(HMODULE module) {
        Collect(reinterpret_cast<BYTE*>(module));
        if (m_slots.empty()) return;
        m_stubs = static_cast<unsigned char*>(
            ::VirtualAlloc(nullptr, m_slots.size() * kStubSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!m_stubs) return;
        for (size_t i = 0; i < m_slots.size(); ++i) WriteStub(m_stubs + i * kStubSize, *m_slots[i]);
        DWORD old = 0;
        ::VirtualProtect(m_stubs, m_slots.size() * kStubSize, PAGE_EXECUTE_READ, &old);
        ::FlushInstructionCache(::GetCurrentProcess(), m_stubs, m_slots.size() * kStubSize);
        for (size_t i = 0; i < m_slots.size(); ++i) WriteEntry(m_slots[i]->entry, m_stubs + i * kStubSize);
        m_patched = true;
    }
    ~ImportCallCounter() {
        if (m_patched)
            for (const auto& slot : m_slots) WriteEntry(slot->entry, slot->original);
        if (m_stubs) ::VirtualFree(m_stubs, 0, MEM_RELEASE);
    }
    ImportCallCounter(const ImportCallCounter&) = delete;
    ImportCallCounter& operator=(const ImportCallCounter&) = delete;

    bool Patched() const { return m_patched; }
    bool Imports(const std::string& name) const {
        for (const auto& slot : m_slots)
            if (slot->name == name) return true;
        return false;
    }
    void Reset() {
        for (auto& slot : m_slots) ::InterlockedExchange(&slot->count, 0);
    }
    // The functions called since the last Reset, with their counts.
    std::map<std::string, int> Calls() const {
        std::map<std::string, int> calls;
        for (const auto& slot : m_slots)
            if (slot->count != 0) calls[slot->name] += slot->count;
        return calls;
    }

private:
    void Collect(BYTE* base) {
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (directory.VirtualAddress == 0) return;
        for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             import->Name != 0; ++import) {
            if (!IsCountedDll(reinterpret_cast<const char*>(base + import->Name))) continue;
            // Without the name table the bound slots are still walked, named by position.
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
                base + (import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                auto slot = std::make_unique<ImportSlot>();
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    slot->name = "#" + std::to_string(IMAGE_ORDINAL(names->u1.Ordinal));
                else
                    slot->name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
                slot->entry = reinterpret_cast<void**>(&slots->u1.Function);
                slot->original = *slot->entry;
                m_slots.push_back(std::move(slot));
            }
        }
    }

    // Each slot on the heap: the stubs hold the addresses of its counter and original.
    std::vector<std::unique_ptr<ImportSlot>> m_slots;
    unsigned char* m_stubs = nullptr;
    bool m_patched = false;
};

std::string Describe(const std::map<std::string, int>& calls) {
    std::string text;
    for (const auto& [name, count] : calls) text += " " + name + " x" + std::to_string(count);
    return text.empty() ? " (none)" : text;
}

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    ::EnumChildWindows(window, &CountChild, counter);
    return TRUE;
}

// This thread's windows with all their children.
int CountThreadWindows() {
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}


constexpr LPARAM kKeyDownLParam = 0x00150001;  // repeat 1, a scan code, pressed

class HookCallCount : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        const std::string program = ThisProgramPath();
        const std::string path = program.substr(0, program.find_last_of('\\') + 1) + "Parlix.dll";
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "Parlix.dll is not built beside the tests";
        m_module = ::LoadLibraryA(path.c_str());
        ASSERT_NE(m_module, nullptr);
        m_hookProc = reinterpret_cast<HookProcFn>(reinterpret_cast<void*>(::GetProcAddress(m_module, "HookProc")));
        const auto setHotKeys =
            reinterpret_cast<SetHotKeysFn>(reinterpret_cast<void*>(::GetProcAddress(m_module, "SetHotKeys")));
        ASSERT_TRUE(m_hookProc && setHotKeys);
        setHotKeys('Y', 'U', 'P', 0);
    }
    void TearDown() override {
        if (m_module) ::FreeLibrary(m_module);
        RegistryTest::TearDown();
    }
    HMODULE m_module = nullptr;
    HookProcFn m_hookProc = nullptr;
};

TEST_F(HookCallCount, AKeyThatIsNoHotKeyCostsOneCallToTheNextHook) {
    ImportCallCounter counter(m_module);
    ASSERT_TRUE(counter.Patched());
    ASSERT_TRUE(counter.Imports("CallNextHookEx"));
    const struct {
        int code;
        WPARAM key;
    } events[] = {
        {HC_ACTION, 'A'},
        {HC_ACTION, '7'},
        {HC_ACTION, VK_RETURN},
        {HC_NOREMOVE, 'B'},
        {HC_ACTION, 0x10000 | 'Y'},  // the low word of a hot key is not the hot key
        {-1, 'Y'},                   // a hot key with a code the hook must not act on
        {HC_NOREMOVE + 1, 'U'},
    };
    for (const auto& event : events) {
        SCOPED_TRACE("code " + std::to_string(event.code) + ", key " + std::to_string(event.key));
        counter.Reset();
        EXPECT_EQ(m_hookProc(event.code, event.key, kKeyDownLParam), 0) << "the event goes on to the next hook";
        const auto calls = counter.Calls();
        EXPECT_EQ(calls, (std::map<std::string, int>{{"CallNextHookEx", 1}})) << "calls:" << Describe(calls);
    }
    std::printf("[ figures  ] platform calls per key that is no hot key: 1 (CallNextHookEx); %zu events checked\n",
                std::size(events));
}

TEST_F(HookCallCount, AHotKeyInAProgramThatIsNoGameStopsAtTheExecutableName) {
    testsupport::GameWindow window;
    ASSERT_TRUE(window.Handle());
    ::SetActiveWindow(window.Handle());
    ASSERT_EQ(::GetActiveWindow(), window.Handle());
    testsupport::PumpPending();
    ::SetCursor(nullptr);  // a game shows no cursor; this program passes every test but its name
    const int windowsBefore = CountThreadWindows();

    ImportCallCounter counter(m_module);
    ASSERT_TRUE(counter.Patched());
    EXPECT_EQ(m_hookProc(HC_ACTION, 'Y', kKeyDownLParam), 0) << "the hot key goes on to this program";
    const auto calls = counter.Calls();
    const std::map<std::string, int> expected = {
        {"GetCursor", 1}, {"GetActiveWindow", 1}, {"GetWindowModuleFileNameA", 1},
        {"PathStripPathA", 1}, {"CallNextHookEx", 1},
    };
    EXPECT_EQ(calls, expected) << "calls:" << Describe(calls);
    EXPECT_EQ(CountThreadWindows(), windowsBefore) << "a window was created";
    std::printf("[ figures  ] platform calls for a hot key outside a game:%s\n", Describe(calls).c_str());
}

TEST_F(HookCallCount, AHotKeyWhileTheThreadShowsACursorAsksNothingMore) {
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ASSERT_NE(::GetCursor(), nullptr);
    ImportCallCounter counter(m_module);
    ASSERT_TRUE(counter.Patched());
    EXPECT_EQ(m_hookProc(HC_ACTION, 'U', kKeyDownLParam), 0);
    const auto calls = counter.Calls();
    EXPECT_EQ(calls, (std::map<std::string, int>{{"GetCursor", 1}, {"CallNextHookEx", 1}})) << "calls:" << Describe(calls);
    ::SetCursor(nullptr);
}

}  // namespace
