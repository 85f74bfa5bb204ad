#include "chatbox/frame_overlay_win32.h"

// The kernel32 names of the module list (K32...), present since Windows 7.
#define PSAPI_VERSION 2
#include <psapi.h>

#include <cstdint>
#include <cstring>
#include <span>

#include "chatbox/frame_overlay.h"

namespace {

using GLenum = unsigned int;
using GLuint = unsigned int;
using GLint = int;

constexpr GLenum kTexture2d = 0x0DE1;
constexpr GLenum kQuads = 0x0007;
constexpr GLenum kMinFilter = 0x2801;
constexpr GLenum kMagFilter = 0x2800;
constexpr GLint kNearest = 0x2600;
constexpr GLint kRgb = 0x1907;
constexpr GLenum kBgra = 0x80E1;
constexpr GLenum kUnsignedByte = 0x1401;

// opengl32's functions, taken from the module the game loaded: the product
// imports nothing of OpenGL.
enum GlFunction {
    kCreateContext,
    kDeleteContext,
    kMakeCurrent,
    kGetCurrentContext,
    kGetCurrentDC,
    kWglSwapBuffers,
    kViewport,
    kEnable,
    kGenTextures,
    kBindTexture,
    kTexParameteri,
    kTexImage2D,
    kTexSubImage2D,
    kBegin,
    kEnd,
    kTexCoord2i,
    kVertex2i,
    kGlFunctionCount
};

// The names in the order above, each ended by a zero: one string, no table of
// pointers for the loader to relocate.
constexpr char kGlNames[] =
    "wglCreateContext\0wglDeleteContext\0wglMakeCurrent\0wglGetCurrentContext\0wglGetCurrentDC\0"
    "wglSwapBuffers\0glViewport\0glEnable\0glGenTextures\0glBindTexture\0glTexParameteri\0glTexImage2D\0"
    "glTexSubImage2D\0glBegin\0glEnd\0glTexCoord2i\0glVertex2i";

using SwapFn = BOOL(WINAPI*)(HDC);

// Plain values only: constant-initialised, nothing for the runtime to run at the
// module's start or end.
struct Overlay {
    void* gl[kGlFunctionCount];
    void* swapBuffers;     // gdi32's, kept for good: a hook chained on ours still calls it
    void* wglSwapBuffers;  // opengl32's
    bool active;
    bool regionTaken;  // the box's window region emptied while it is drawn into the frames
    bool drawing;  // inside our swap: gdi32's SwapBuffers may call wglSwapBuffers
    DWORD thread;
    HWND game;
    HWND box;
    HGLRC context;
    ImportRedirects redirects;
    // The box's picture: a top-down 32-bit DIB section and the copy last uploaded.
    HDC pictureDc;
    HBITMAP picture;
    HGDIOBJ pictureOld;
    // Where each control paints first, with its own top-left corner at the
    // context's origin as on its own window context: a control that clips itself
    // to its client area in device units clips right.
    HDC controlDc;
    HBITMAP control;
    HGDIOBJ controlOld;
    std::uint32_t* bits;
    std::uint32_t* uploaded;
    int width;
    int height;
    GLuint texture;
    bool textureSized;
};

constinit Overlay g{};

template <class Fn>
Fn Gl(GlFunction f) noexcept {
    return reinterpret_cast<Fn>(g.gl[f]);
}

class ProtectedWriter final : public SlotWriter {
public:
    bool Write(std::uintptr_t* slot, std::uintptr_t value) noexcept override {
        // Executable as well while it is written: an entry may share its page
        // with code another thread runs. The page's own protection comes back.
        DWORD old = 0;
        if (!::VirtualProtect(slot, sizeof *slot, PAGE_EXECUTE_READWRITE, &old)) return false;
        *slot = value;
        ::VirtualProtect(slot, sizeof *slot, old, &old);
        return true;
    }
};

// Every import entry of `module` that holds one of the two swap functions.
void RedirectModule(HMODULE module, ProtectedWriter& writer, std::uintptr_t ours, std::uintptr_t oursWgl) noexcept {
    auto* base = reinterpret_cast<BYTE*>(module);
    // A loaded module's headers are the loader's: valid.
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        // By value, not by name: an import through another name of the same
        // function is found as well.
        for (auto* slot = reinterpret_cast<std::uintptr_t*>(base + import->FirstThunk); *slot != 0; ++slot) {
            g.redirects.Redirect(writer, slot, reinterpret_cast<std::uintptr_t>(g.swapBuffers), ours);
            if (g.wglSwapBuffers != nullptr) {
                g.redirects.Redirect(writer, slot, reinterpret_cast<std::uintptr_t>(g.wglSwapBuffers), oursWgl);
            }
        }
    }
}

void FreePicture() noexcept {
    if (g.pictureDc != nullptr) {
        ::SelectObject(g.pictureDc, g.pictureOld);
        ::DeleteDC(g.pictureDc);
    }
    if (g.controlDc != nullptr) {
        ::SelectObject(g.controlDc, g.controlOld);
        ::DeleteDC(g.controlDc);
    }
    if (g.picture != nullptr) ::DeleteObject(g.picture);
    if (g.control != nullptr) ::DeleteObject(g.control);
    g.controlDc = nullptr;
    g.control = nullptr;
    if (g.uploaded != nullptr) ::HeapFree(::GetProcessHeap(), 0, g.uploaded);
    g.pictureDc = nullptr;
    g.picture = nullptr;
    g.uploaded = nullptr;
    g.bits = nullptr;
    g.width = g.height = 0;
}

bool SizePicture(int width, int height) noexcept {
    if (width == g.width && height == g.height && g.picture != nullptr) return true;
    FreePicture();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    g.picture = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    void* const pictureBits = bits;
    g.pictureDc = ::CreateCompatibleDC(nullptr);
    g.controlDc = ::CreateCompatibleDC(nullptr);
    g.control = g.picture != nullptr ? ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    const SIZE_T bytes = static_cast<SIZE_T>(width) * static_cast<SIZE_T>(height) * 4;
    g.uploaded = static_cast<std::uint32_t*>(::HeapAlloc(::GetProcessHeap(), 0, bytes));
    if (g.picture == nullptr || g.pictureDc == nullptr || g.control == nullptr || g.controlDc == nullptr ||
        g.uploaded == nullptr) {
        FreePicture();
        return false;
    }
    g.pictureOld = ::SelectObject(g.pictureDc, g.picture);
    g.controlOld = ::SelectObject(g.controlDc, g.control);
    g.bits = static_cast<std::uint32_t*>(pictureBits);
    g.width = width;
    g.height = height;
    g.textureSized = false;
    return true;
}

// The box as it paints itself: the dialog's own paint, then each control's, each
// at its place (the system's WM_PRINT does not draw children everywhere).
void CapturePicture() noexcept {
    const HDC dc = g.pictureDc;
    ::SendMessageW(g.box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    for (HWND child = ::GetWindow(g.box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        RECT place{};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(HWND_DESKTOP, g.box, reinterpret_cast<POINT*>(&place), 2);
        // What the dialog painted below stays where a control leaves pixels alone,
        // as on the screen.
        ::BitBlt(g.controlDc, 0, 0, place.right - place.left, place.bottom - place.top, dc, place.left, place.top,
                 SRCCOPY);
        // Each control starts from a fresh context's colours, font and origin, as
        // its own window context would give it.
        const int saved = ::SaveDC(g.controlDc);
        ::SendMessageW(child, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(g.controlDc), PRF_CLIENT | PRF_ERASEBKGND);
        ::RestoreDC(g.controlDc, saved);
        ::BitBlt(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, g.controlDc, 0, 0,
                 SRCCOPY);
    }
    ::GdiFlush();
    // The system caret is drawn on the screen only; the picture gets its own.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (::GetGUIThreadInfo(g.thread, &thread) && thread.hwndCaret != nullptr &&
        ::IsChild(g.box, thread.hwndCaret) &&
        CaretShownAt(::GetTickCount(), ::GetCaretBlinkTime())) {
        ::MapWindowPoints(thread.hwndCaret, g.box, reinterpret_cast<POINT*>(&thread.rcCaret), 2);
        const RECT& c = thread.rcCaret;
        InvertArea(std::span(g.bits, static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height)), g.width,
                   g.height, Rect{c.left, c.top, c.right, c.bottom});
    }
}

// Draws the box into the frame `dc` is about to present. False when the frame
// cannot be drawn into: the caller stops the whole path.
bool DrawIntoFrame(HDC dc) noexcept {
    if (!::IsWindowVisible(g.box)) return true;
    RECT box{};
    ::GetClientRect(g.box, &box);
    if (!SizePicture(box.right, box.bottom)) return false;
    CapturePicture();
    const std::size_t bytes = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height) * 4;
    const bool changed = !g.textureSized || std::memcmp(g.bits, g.uploaded, bytes) != 0;
    if (changed) std::memcpy(g.uploaded, g.bits, bytes);
    ::MapWindowPoints(g.box, g.game, reinterpret_cast<POINT*>(&box), 2);
    RECT frame{};
    ::GetClientRect(g.game, &frame);

    const auto gameContext = Gl<HGLRC(WINAPI*)()>(kGetCurrentContext)();
    const auto gameDc = Gl<HDC(WINAPI*)()>(kGetCurrentDC)();
    const auto makeCurrent = Gl<BOOL(WINAPI*)(HDC, HGLRC)>(kMakeCurrent);
    if (!makeCurrent(dc, g.context)) return false;
    if (g.texture == 0) {
        Gl<void(WINAPI*)(int, GLuint*)>(kGenTextures)(1, &g.texture);
        Gl<void(WINAPI*)(GLenum, GLuint)>(kBindTexture)(kTexture2d, g.texture);
        const auto parameter = Gl<void(WINAPI*)(GLenum, GLenum, GLint)>(kTexParameteri);
        // One texel to one pixel: nothing blurred, nothing blended.
        parameter(kTexture2d, kMinFilter, kNearest);
        parameter(kTexture2d, kMagFilter, kNearest);
        Gl<void(WINAPI*)(GLenum)>(kEnable)(kTexture2d);
    }
    // A texture of the picture's own size (any OpenGL 2 driver takes it), given
    // whole when the size changed and renewed only when the picture did.
    if (!g.textureSized) {
        Gl<void(WINAPI*)(GLenum, GLint, GLint, int, int, GLint, GLenum, GLenum, const void*)>(kTexImage2D)(
            kTexture2d, 0, kRgb, g.width, g.height, 0, kBgra, kUnsignedByte, g.uploaded);
        g.textureSized = true;
    } else if (changed) {
        Gl<void(WINAPI*)(GLenum, GLint, GLint, GLint, int, int, GLenum, GLenum, const void*)>(kTexSubImage2D)(
            kTexture2d, 0, 0, 0, g.width, g.height, kBgra, kUnsignedByte, g.uploaded);
    }
    const Viewport view = FrameViewport(Rect{box.left, box.top, box.right, box.bottom}, frame.bottom);
    Gl<void(WINAPI*)(GLint, GLint, int, int)>(kViewport)(view.x, view.y, view.width, view.height);
    // The whole viewport; the picture's top row (row 0 of the texture) at the top.
    const auto texCoord = Gl<void(WINAPI*)(GLint, GLint)>(kTexCoord2i);
    const auto vertex = Gl<void(WINAPI*)(GLint, GLint)>(kVertex2i);
    Gl<void(WINAPI*)(GLenum)>(kBegin)(kQuads);
    texCoord(0, 0);
    vertex(-1, 1);
    texCoord(1, 0);
    vertex(1, 1);
    texCoord(1, 1);
    vertex(1, -1);
    texCoord(0, 1);
    vertex(-1, -1);
    Gl<void(WINAPI*)()>(kEnd)();
    // The game presents with its own context current, as it left it.
    return makeCurrent(gameDc, gameContext) != FALSE;
}

void BeforePresent(HDC dc) noexcept {
    if (!g.active || g.drawing || ::GetCurrentThreadId() != g.thread || ::WindowFromDC(dc) != g.game) return;
    g.drawing = true;
    const bool drawn = DrawIntoFrame(dc);
    if (drawn && !g.regionTaken) {
        // Once the box is in the frames: the child itself would cover its place
        // there, as a black hole where the system cannot show a GDI child over
        // OpenGL (seen under Wine). With an empty window region it covers
        // nothing, and stays visible, focused and the IME's window all the same.
        // A game that never presents in the box's thread keeps the child whole.
        g.regionTaken = true;
        ::SetWindowRgn(g.box, ::CreateRectRgn(0, 0, 0, 0), TRUE);
    }
    g.drawing = false;
    if (!drawn) StopFrameOverlay();
}

BOOL WINAPI SwapBuffersHook(HDC dc) noexcept {
    BeforePresent(dc);
    return reinterpret_cast<SwapFn>(g.swapBuffers)(dc);
}

BOOL WINAPI WglSwapBuffersHook(HDC dc) noexcept {
    BeforePresent(dc);
    return reinterpret_cast<SwapFn>(g.wglSwapBuffers)(dc);
}

bool RendersWithOpenGl(HWND game) noexcept {
    const HDC dc = ::GetDC(game);
    const bool pixelFormat = dc != nullptr && ::GetPixelFormat(dc) != 0;
    if (dc != nullptr) ::ReleaseDC(game, dc);
    return pixelFormat;
}

bool LoadGl() noexcept {
    const HMODULE opengl = ::GetModuleHandleW(L"opengl32.dll");
    const HMODULE gdi = ::GetModuleHandleW(L"gdi32.dll");
    if (opengl == nullptr || gdi == nullptr) return false;
    const char* name = kGlNames;
    for (int i = 0; i < kGlFunctionCount; ++i) {
        g.gl[i] = reinterpret_cast<void*>(::GetProcAddress(opengl, name));
        if (g.gl[i] == nullptr) return false;
        name += std::strlen(name) + 1;
    }
    g.wglSwapBuffers = g.gl[kWglSwapBuffers];
    g.swapBuffers = reinterpret_cast<void*>(::GetProcAddress(gdi, "SwapBuffers"));
    return g.swapBuffers != nullptr;
}

}  // namespace

bool StartFrameOverlay(HWND game, HWND box) noexcept {
    StopFrameOverlay();
    if (::GetEnvironmentVariableW(L"PARLIX_NO_FRAME_DRAWING", nullptr, 0) != 0) return false;
    if (!LoadGl() || !RendersWithOpenGl(game)) return false;
    const HDC dc = ::GetDC(game);
    g.context = dc != nullptr ? Gl<HGLRC(WINAPI*)(HDC)>(kCreateContext)(dc) : nullptr;
    if (dc != nullptr) ::ReleaseDC(game, dc);
    if (g.context == nullptr) return false;
    g.game = game;
    g.box = box;
    g.thread = ::GetCurrentThreadId();

    HMODULE modules[256];
    DWORD bytes = 0;
    if (::EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &bytes)) {
        ProtectedWriter writer;
        const std::size_t count = bytes / sizeof modules[0];
        for (std::size_t i = 0; i < count && i < 256; ++i) {
            RedirectModule(modules[i], writer, reinterpret_cast<std::uintptr_t>(&SwapBuffersHook),
                           reinterpret_cast<std::uintptr_t>(&WglSwapBuffersHook));
        }
    }
    g.active = g.redirects.Count() > 0;
    // A game whose frames do not pass through an entry we can reach keeps the
    // plain child.
    if (!g.active) {
        StopFrameOverlay();
        return false;
    }
    return true;
}

void AbandonFrameOverlay() noexcept {
    ProtectedWriter writer;
    g.redirects.RestoreAll(writer);
    g.active = false;
}

void StopFrameOverlay() noexcept {
    AbandonFrameOverlay();
    if (g.regionTaken) {
        // The plain child again, whole.
        g.regionTaken = false;
        ::SetWindowRgn(g.box, nullptr, TRUE);
    }
    if (g.context != nullptr) {
        // Its texture goes with it; the context is not current in any thread
        // (each frame made the game's current again).
        Gl<BOOL(WINAPI*)(HGLRC)>(kDeleteContext)(g.context);
        g.context = nullptr;
    }
    g.texture = 0;
    FreePicture();
    g.game = g.box = nullptr;
}

bool FrameOverlayActive() noexcept { return g.active; }
