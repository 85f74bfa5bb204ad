// Display check: creates a window, makes it the foreground window and sends it a
// synthetic key, each step with a deadline of a few seconds. Prints what worked
// and what did not; exit code 0 only when the key arrived.
#include <windows.h>

#include <cstdio>

namespace {

constexpr DWORD kStepDeadlineMs = 5000;
constexpr WORD kProbeKey = 'Q';
bool g_keyArrived = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_KEYDOWN && wParam == kProbeKey) g_keyArrived = true;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Pumps messages until the condition holds or the deadline passes.
template <class Condition>
bool PumpUntil(Condition condition) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > kStepDeadlineMs) return false;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void SendKey(WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    ::SendInput(1, &input, sizeof input);
}

}  // namespace

int main() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ParlixDisplayCheck";
    if (!::RegisterClassW(&windowClass)) {
        std::printf("display check: RegisterClass failed, error %lu\n", ::GetLastError());
        return 1;
    }
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"Parlix display check",
                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    if (!window) {
        std::printf("display check: no window could be created (error %lu): Wine has no usable display driver; "
                    "is DISPLAY set and the X server running, are libX11 and libXext installed?\n",
                    ::GetLastError());
        return 1;
    }
    std::printf("display check: window created\n");
    ::SetForegroundWindow(window);
    ::SetFocus(window);
    if (!PumpUntil([&] { return ::GetForegroundWindow() == window; })) {
        std::printf("display check: the window never became the foreground window\n");
        ::DestroyWindow(window);
        return 1;
    }
    std::printf("display check: window is in the foreground\n");
    SendKey(kProbeKey, 0);
    SendKey(kProbeKey, KEYEVENTF_KEYUP);
    bool arrived = PumpUntil([] { return g_keyArrived; });
    std::printf(arrived ? "display check: synthetic key received\n"
                        : "display check: the synthetic key never arrived\n");
    ::DestroyWindow(window);
    return arrived ? 0 : 1;
}
