#include "framework/wnd_win32.h"

#include "framework/wide_text_win32.h"

namespace {
// The window property that holds the bound object.
constexpr wchar_t kObjectProperty[] = L"Parlix.CWnd";
}  // namespace

CWnd::~CWnd() {
    // The static chat box may outlive its window's owner thread: never leave our
    // procedure on a window whose object is gone.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        if (m_previousProc != nullptr) {
            UnsubclassWindow();
        } else {
            Detach();
        }
    }
}

void CWnd::Attach(HWND hwnd) noexcept {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProperty, reinterpret_cast<HANDLE>(this));
}

HWND CWnd::Detach() noexcept {
    HWND hwnd = m_hWnd;
    if (hwnd != nullptr) ::RemovePropW(hwnd, kObjectProperty);
    m_hWnd = nullptr;
    return hwnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) noexcept {
    if (hwnd == nullptr) return nullptr;
    return reinterpret_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty));
}

bool CWnd::SubclassWindow(HWND hwnd) noexcept {
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr) return false;
    Attach(hwnd);
    auto previous = ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RoutingProc));
    if (previous == 0) {
        Detach();
        return false;
    }
    m_previousProc = reinterpret_cast<WNDPROC>(previous);
    return true;
}

HWND CWnd::UnsubclassWindow() noexcept {
    if (m_previousProc != nullptr && m_hWnd != nullptr) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
    }
    m_previousProc = nullptr;
    return Detach();
}

bool CWnd::ScreenToClient(RECT* rect) const noexcept {
    // MapWindowPoints answers 0 for a zero offset as well as for a failure.
    ::SetLastError(ERROR_SUCCESS);
    return ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2) != 0 ||
           ::GetLastError() == ERROR_SUCCESS;
}

std::wstring CWnd::GetWindowTextW() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    // Read straight into the string: its terminator's place takes the call's zero.
    std::wstring text(static_cast<size_t>(length), L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 && copied <= length ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string CWnd::GetWindowText() const { return Utf8FromWide(GetWindowTextW()); }

bool CWnd::SetWindowText(std::string_view text) const {
    return ::SetWindowTextW(m_hWnd, WideFromUtf8(text).c_str()) != FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (m_previousProc != nullptr) return ::CallWindowProcW(m_previousProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (message == WM_COMMAND && lParam != 0) {
            CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
            LRESULT result = 0;
            if (child != nullptr && child != this && child->OnChildNotify(message, wParam, lParam, &result)) {
                return result;
            }
        }
        return WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's message dispatch.
        return 0;
    }
}

LRESULT CALLBACK CWnd::RoutingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandlePermanent(hwnd);
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone after this message; the object stays and is unbound.
        self->UnsubclassWindow();
        self->PostNcDestroy();
    }
    return result;
}
