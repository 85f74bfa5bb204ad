// A stand-in game window of this thread that renders with OpenGL as the real game
// does: a pixel format on its context, a frame cleared and drawn with something
// that moves, presented with gdi32's SwapBuffers (or opengl32's wglSwapBuffers),
// one every 10 ms while the test pumps.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace testsupport {

class GlGameWindow {
public:
    GlGameWindow();
    ~GlGameWindow();
    GlGameWindow(const GlGameWindow&) = delete;
    GlGameWindow& operator=(const GlGameWindow&) = delete;

    HWND Handle() const noexcept { return m_hwnd; }
    // False when the machine gave no OpenGL context: the tests cannot run.
    bool Ready() const noexcept { return m_context != nullptr; }
    // Presents through opengl32's wglSwapBuffers instead of gdi32's SwapBuffers.
    void PresentWithWgl(bool wgl) noexcept { m_wgl = wgl; }
    void Frame();
    unsigned Frames() const noexcept { return m_frames; }
    // The game's context is current again after each frame: whoever draws into
    // the frame must leave it so.
    bool OwnContextCurrent() const;

    // The last presented frame's pixels over `area` (client coordinates), row by
    // row from the top, 0x00RRGGBB: what the game put on the screen, read where
    // it is made (under Wine the screen's copy does not show a GL window's frames
    // reliably).
    std::vector<std::uint32_t> PresentedPixels(const RECT& area) const;

    // Dispatches this thread's messages and renders a frame every 10 ms until
    // `done` answers true or `milliseconds` pass; returns what `done` answered last.
    bool RenderUntil(const std::function<bool()>& done, DWORD milliseconds = 5000);

private:
    HWND m_hwnd = nullptr;
    HDC m_dc = nullptr;
    HGLRC m_context = nullptr;
    unsigned m_frames = 0;
    bool m_wgl = false;
};

}  // namespace testsupport
