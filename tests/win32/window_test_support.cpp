#include "window_test_support.h"

#include <vector>

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (;;) {
        PumpPending();
        if (done()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpPending() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

namespace {

constexpr wchar_t kGameClass[] = L"ParlixTestGame";

LRESULT CALLBACK GameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client;
        ::GetClientRect(hwnd, &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        return 1;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

GameWindow::GameWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &GameProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kGameClass;
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_hwnd = ::CreateWindowExW(0, kGameClass, L"game", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 50, 50,
                               800, 600, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    BringToForeground();
    PumpPending();
}

GameWindow::~GameWindow() {
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
    PumpPending();
}

bool GameWindow::BringToForeground() const {
    return PumpUntil([this] {
        if (::GetForegroundWindow() != m_hwnd) ::SetForegroundWindow(m_hwnd);
        return ::GetForegroundWindow() == m_hwnd;
    });
}

namespace {

SeenBox g_seen;
ULONGLONG g_boxFirstSeen = 0;

BOOL CALLBACK FindBox(HWND hwnd, LPARAM found) {
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

std::string WindowTextA(HWND hwnd) {
    char buffer[1024] = {};
    ::GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

void CALLBACK ReadBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    // The message box's text is the static control with id 0xFFFF.
    HWND textControl = ::GetDlgItem(box, 0xFFFF);
    if (!g_seen.shown) {
        g_seen.shown = true;
        g_seen.caption = WindowTextA(box);
        g_seen.text = textControl != nullptr ? WindowTextA(textControl) : std::string();
        g_boxFirstSeen = ::GetTickCount64();
    }
    if (::GetDlgItem(box, IDOK) != nullptr) {
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    }
    if (::GetTickCount64() - g_boxFirstSeen > 3000) ::EndDialog(box, IDOK);
}

}  // namespace

MessageBoxReader::MessageBoxReader() {
    g_seen = SeenBox{};
    m_timer = ::SetTimer(nullptr, 0, 50, &ReadBox);
}

MessageBoxReader::~MessageBoxReader() { ::KillTimer(nullptr, m_timer); }

const SeenBox& MessageBoxReader::Seen() const noexcept { return g_seen; }

}  // namespace testsupport
