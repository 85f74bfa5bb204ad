#include "gl_game_window.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

#include "window_test_support.h"

// opengl32 exports it; the headers do not declare it.
extern "C" __declspec(dllimport) BOOL WINAPI wglSwapBuffers(HDC dc);

namespace testsupport {

namespace {

constexpr wchar_t kGlGameClass[] = L"ParlixTestGlGame";

LRESULT CALLBACK GlGameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The frame loop draws everything: nothing erased or painted by GDI.
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        ::ValidateRect(hwnd, nullptr);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

GlGameWindow::GlGameWindow() {
    WNDCLASSW windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = &GlGameProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kGlGameClass;
    ::RegisterClassW(&windowClass);  // fails harmlessly when already registered
    // As SDL creates its window: clipping its children and siblings.
    m_hwnd = ::CreateWindowExW(0, kGlGameClass, L"gl game",
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE, 50, 50, 800, 600,
                               nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    m_dc = ::GetDC(m_hwnd);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 24;
    const int chosen = ::ChoosePixelFormat(m_dc, &format);
    if (chosen != 0 && ::SetPixelFormat(m_dc, chosen, &format)) m_context = ::wglCreateContext(m_dc);
    if (m_context != nullptr) ::wglMakeCurrent(m_dc, m_context);
    PumpUntil([this] {
        if (::GetForegroundWindow() != m_hwnd) ::SetForegroundWindow(m_hwnd);
        return ::GetForegroundWindow() == m_hwnd;
    });
}

GlGameWindow::~GlGameWindow() {
    if (m_context != nullptr) {
        ::wglMakeCurrent(nullptr, nullptr);
        ::wglDeleteContext(m_context);
    }
    if (m_dc != nullptr) ::ReleaseDC(m_hwnd, m_dc);
    if (m_hwnd != nullptr) ::DestroyWindow(m_hwnd);
    PumpPending();
}

void GlGameWindow::Frame() {
    if (m_context == nullptr) return;
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    ::glViewport(0, 0, client.right, client.bottom);
    ::glClearColor(0.0f, 0.0f, 0.5f, 1.0f);
    ::glClear(GL_COLOR_BUFFER_BIT);
    // A square that walks along the top of the frame, one step a frame: a frame
    // that is not renewed shows it standing still.
    const float x = -1.0f + static_cast<float>(m_frames % 100) * 0.018f;
    ::glColor3f(1.0f, 1.0f, 0.0f);
    ::glBegin(GL_QUADS);
    ::glVertex2f(x, 0.9f);
    ::glVertex2f(x + 0.1f, 0.9f);
    ::glVertex2f(x + 0.1f, 0.7f);
    ::glVertex2f(x, 0.7f);
    ::glEnd();
    if (m_wgl) {
        ::wglSwapBuffers(m_dc);
    } else {
        ::SwapBuffers(m_dc);
    }
    ++m_frames;
}

std::vector<std::uint32_t> GlGameWindow::PresentedPixels(const RECT& area) const {
    const int width = static_cast<int>(area.right - area.left);
    const int height = static_cast<int>(area.bottom - area.top);
    std::vector<std::uint32_t> rows(static_cast<std::size_t>(width * height));
    if (m_context == nullptr || width <= 0 || height <= 0) return rows;
    RECT client{};
    ::GetClientRect(m_hwnd, &client);
    ::glReadBuffer(GL_BACK);
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    ::glReadPixels(area.left, client.bottom - area.bottom, width, height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, rows.data());
    ::glReadBuffer(GL_BACK);
    // GL counts rows from the bottom.
    std::vector<std::uint32_t> topDown(rows.size());
    for (int y = 0; y < height; ++y) {
        std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * width), width,
                    topDown.begin() + static_cast<std::ptrdiff_t>(y * width));
    }
    for (std::uint32_t& p : topDown) p &= 0x00FFFFFF;
    return topDown;
}

bool GlGameWindow::OwnContextCurrent() const {
    return ::wglGetCurrentContext() == m_context && ::wglGetCurrentDC() == m_dc;
}

bool GlGameWindow::RenderUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    ULONGLONG nextFrame = 0;
    for (;;) {
        PumpPending();
        const ULONGLONG now = ::GetTickCount64();
        if (now >= nextFrame) {
            Frame();
            nextFrame = now + 10;
        }
        if (done()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

}  // namespace testsupport
