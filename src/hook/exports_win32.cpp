// The module's outside face: the hot keys and the hook handle shared by every
// process that maps the module, and the four exports the host and the system call.
#include <windows.h>
#include <shlwapi.h>

#include <array>
#include <atomic>
#include <cstdint>

#include "hook/chat_box_win32.h"
#include "hook/exports_win32.h"
#include "hook/game_detection.h"
#include "hook/hook_decision.h"

namespace {

// The one object in the shared section: the host writes it in its process and the
// hook reads it in every other one. Each value is read and written in one aligned
// access of its own width, so a reader sees the old or the new value, never a mix;
// no lock is taken.
struct SharedHookData {
    std::int16_t sayKey;
    std::int16_t sayTeamKey;
    std::int16_t rconSayKey;
    std::int16_t fourthKey;  // stored for the host, never read here
    HINSTANCE module;
    HHOOK hook;
};

static_assert(sizeof(SharedHookData) == 4 * sizeof(std::int16_t) + 2 * sizeof(void*), "no padding between the values");

// Aligned as its widest member and no more, so the section holds exactly the six
// values (16 bytes in the 32-bit module, 24 in the 64-bit one) and no padding.
__attribute__((section(".sdata"), shared)) alignas(alignof(SharedHookData)) SharedHookData g_shared = {};

template <class T>
T Load(T& value) noexcept {
    return std::atomic_ref<T>(value).load(std::memory_order_relaxed);
}

template <class T>
void Store(T& value, T newValue) noexcept {
    std::atomic_ref<T>(value).store(newValue, std::memory_order_relaxed);
}

static_assert(std::atomic_ref<std::int16_t>::is_always_lock_free);
static_assert(std::atomic_ref<HHOOK>::is_always_lock_free);

// The questions of the decision, each a platform call made only when it is asked.
class ThreadProbe {
public:
    bool HasCursor() const noexcept { return ::GetCursor() != nullptr; }
    bool HasActiveWindow() noexcept {
        m_active = ::GetActiveWindow();
        return m_active != nullptr;
    }
    bool ChatBoxOpenAndVisible() const noexcept {
        const HWND box = ChatBoxWindow();
        return box && ::IsWindow(box) && ::IsWindowVisible(box);
    }
    bool EditHasFocus() const noexcept {
        const HWND edit = ChatBoxEdit();
        return edit != nullptr && ::GetFocus() == edit;
    }
    bool ActiveWindowIsBoxParent() const noexcept { return ::GetParent(ChatBoxWindow()) == m_active; }
    bool ActiveWindowIsGame() const noexcept {
        // Zeroed: a window with no module name leaves the empty name, which is no game.
        std::array<char, MAX_PATH> name{};
        ::GetWindowModuleFileNameA(m_active, name.data(), static_cast<UINT>(name.size()));
        name.back() = '\0';
        ::PathStripPathA(name.data());
        return IsGameExecutable(name.data());
    }
    HWND ActiveWindow() const noexcept { return m_active; }

private:
    HWND m_active = nullptr;
};

LRESULT PassOn(int code, WPARAM wParam, LPARAM lParam) noexcept {
    return ::CallNextHookEx(Load(g_shared.hook), code, wParam, lParam);
}

}  // namespace

extern "C" {

void SetHotKeys(WORD sayKey, WORD sayTeamKey, WORD rconSayKey, WORD fourthKey) {
    Store(g_shared.sayKey, static_cast<std::int16_t>(sayKey));
    Store(g_shared.sayTeamKey, static_cast<std::int16_t>(sayTeamKey));
    Store(g_shared.rconSayKey, static_cast<std::int16_t>(rconSayKey));
    Store(g_shared.fourthKey, static_cast<std::int16_t>(fourthKey));
}

HHOOK InstallHook() {
    // By name, as the host loaded it: a module loaded under another name installs nothing.
    const HMODULE module = ::GetModuleHandleA("Parlix.dll");
    Store(g_shared.module, static_cast<HINSTANCE>(module));
    if (!module) return nullptr;
    const HHOOK hook = ::SetWindowsHookExA(WH_KEYBOARD, &HookProc, module, 0);
    Store(g_shared.hook, hook);
    return hook;
}

void UninstallHook() {
    const HHOOK hook = Load(g_shared.hook);
    if (!hook) return;
    ::UnhookWindowsHookEx(hook);
    Store(g_shared.hook, HHOOK{});
}

LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
    const HotKeys keys{Load(g_shared.sayKey), Load(g_shared.sayTeamKey), Load(g_shared.rconSayKey)};
    // Every key event of every process comes here: anything but a hot key leaves
    // after a few integer comparisons, with no platform call but the next hook's.
    const auto key = static_cast<std::uintptr_t>(wParam);
    const auto keyFlags = static_cast<std::uintptr_t>(lParam);
    if (HotKeyMode(code, key, keyFlags, keys) == kPassOn) return PassOn(code, wParam, lParam);
    try {
        ThreadProbe probe;
        const int decision = DecideHook(code, key, keyFlags, keys, probe);
        if (decision == kRefocusBox) {
            RefocusChatBox();
            return 1;
        }
        if (decision != kPassOn && OpenChatBox(probe.ActiveWindow(), decision)) return 1;
    } catch (...) {
        // Nothing may unwind into the system's hook dispatch: the event goes on.
    }
    return PassOn(code, wParam, lParam);
}

}  // extern "C"
