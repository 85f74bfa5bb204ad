// The chat box drawn into the frames of a game that renders with OpenGL: the
// picture in the frame is the one GDI paints, the game's import entries point
// back at the system's functions whenever the drawing ends, and with the drawing
// turned off the box is not seen over the frames at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "settings/app_settings_instance.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/frame_overlay_win32.h"
#include "chatbox/paint_plan.h"
#include "framework/win_app_win32.h"
#include "gl_game_window.h"
#include "hook/chat_box_win32.h"
#include "import_patch.h"
#include "window_test_support.h"

namespace {

using testsupport::GameWindow;
using testsupport::GlGameWindow;
using testsupport::PumpPending;
using testsupport::PumpUntil;

// The screen's pixels over a rectangle, 0x00RRGGBB, row by row.
struct Shot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

Shot TakeScreen(const RECT& rect) {
    Shot shot{static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top), {}};
    shot.pixels.resize(static_cast<std::size_t>(shot.width * shot.height));
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, shot.width, shot.height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(shot.height), shot.pixels.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    for (std::uint32_t& p : shot.pixels) p &= 0x00FFFFFF;
    return shot;
}

// NULLREGION for an empty window region, ERROR for none (the whole window).
int RegionKind(HWND window) {
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    const int kind = ::GetWindowRgn(window, region);
    ::DeleteObject(region);
    return kind;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

// 0x00RRGGBB as a DIB holds the COLORREF 0x00BBGGRR.
std::uint32_t Dib(std::uint32_t colourref) {
    return ((colourref & 0xFF) << 16) | (colourref & 0xFF00) | ((colourref >> 16) & 0xFF);
}

// The caret's rectangle inside the box, grown by a pixel: the one place where the
// two pictures may differ (the blink).
RECT CaretInBox() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetCurrentThreadId(), &info) || info.hwndCaret == nullptr) return RECT{};
    ::MapWindowPoints(info.hwndCaret, theChatBox.m_hWnd, reinterpret_cast<POINT*>(&info.rcCaret), 2);
    ::InflateRect(&info.rcCaret, 1, 1);
    return info.rcCaret;
}

// Pixels that differ outside `allowed`, and the first of them.
struct Difference {
    int count = 0;
    int x = -1;
    int y = -1;
    RECT bounds{};  // around every differing pixel
};

Difference Compare(const Shot& a, const Shot& b, const RECT& allowed) {
    Difference d;
    if (a.width != b.width || a.height != b.height) return Difference{a.width * a.height, 0, 0};
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const POINT p{x, y};
            if (::PtInRect(&allowed, p) || a.At(x, y) == b.At(x, y)) continue;
            if (d.count++ == 0) {
                d.x = x;
                d.y = y;
                d.bounds = RECT{x, y, x + 1, y + 1};
            }
            d.bounds = RECT{std::min<LONG>(d.bounds.left, x), d.bounds.top, std::max<LONG>(d.bounds.right, x + 1),
                            y + 1};
        }
    }
    return d;
}

int CountColour(const Shot& shot, std::uint32_t colourref) {
    int n = 0;
    for (std::uint32_t p : shot.pixels) n += p == Dib(colourref);
    return n;
}

CandidateView TwoCandidates() {
    CandidateView view;
    view.page = CandidatePage{0, 2, 1, 1, 2};
    view.Add(u"\u4F60");
    view.Add(u"\u5C3C");
    return view;
}

Composition Composing() {
    Composition c;
    c.text[0] = u'n';
    c.text[1] = u'i';
    c.length = 2;
    c.cursor = 2;
    return c;
}

BOOL WINAPI FailingCreateDib(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD) { return FALSE; }

class FrameOverlayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_gl = std::make_unique<GlGameWindow>(); }
    // The GL window stays until the process ends: 32-bit Wine 8 loses its X
    // connection (BadWindow on X_ReparentWindow) when a window that rendered
    // with OpenGL and had child windows is destroyed, and the program with it.
    // It is hidden, so that it covers no later test's windows.
    static void TearDownTestSuite() {
        ::ShowWindow(s_gl->Handle(), SW_HIDE);
        PumpPending();
        static_cast<void>(s_gl.release());
    }

    void SetUp() override {
        if (!s_gl->Ready()) GTEST_SKIP() << "no OpenGL context on this display";
        if (AfxGetApp() == nullptr) {
            m_app = std::make_unique<CWinApp>();
            m_app->SetRegistryKey("ParlixTests");
            m_app->SetProfileName("FrameOverlay");
        }
        m_saved = GetAppSettings();
        GetAppSettings().m_bRememberHistory = 0;
        GetAppSettings().m_bAutoIme = 0;
        m_swapSlot = ImportSlot("gdi32.dll", "SwapBuffers");
        m_wglSlot = ImportSlot("opengl32.dll", "wglSwapBuffers");
        ASSERT_NE(m_swapSlot, nullptr);
        ASSERT_NE(m_wglSlot, nullptr);
        m_swapOriginal = *m_swapSlot;
        m_wglOriginal = *m_wglSlot;
        Foreground(Gl());
    }

    void TearDown() override {
        if (theChatBox.m_hWnd != nullptr) theChatBox.DestroyWindow();
        ::SetEnvironmentVariableW(L"PARLIX_NO_FRAME_DRAWING", nullptr);
        s_gl->PresentWithWgl(false);
        PumpPending();
        if (m_app || AfxGetApp() != nullptr) GetAppSettings() = m_saved;
    }

    static HWND Gl() { return s_gl->Handle(); }
    static void Foreground(HWND window) {
        PumpUntil([window] {
            if (::GetForegroundWindow() != window) ::SetForegroundWindow(window);
            return ::GetForegroundWindow() == window;
        });
        ::SetFocus(window);
    }
    static HWND Edit() { return theChatBox.m_editMessage.m_hWnd; }
    // The box's place in the game's client area, where the frame has it.
    static RECT BoxInGame() {
        RECT box = ScreenRect(theChatBox.m_hWnd);
        ::MapWindowPoints(HWND_DESKTOP, Gl(), reinterpret_cast<POINT*>(&box), 2);
        return box;
    }
    // What the last presented frame shows over `area` of the game's client area.
    static Shot Framed(const RECT& area) {
        return Shot{static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top),
                    s_gl->PresentedPixels(area)};
    }
    // The same box in the same state over whichever game: text, a selection, a
    // composition with its caret and the IME's candidates (the box grown for them).
    static void OpenAndFill(HWND game) {
        ASSERT_TRUE(OpenChatBox(game, 0));
        PumpPending();
        for (char c : std::string("Hello, frame")) ::SendMessageW(Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
        ::SendMessageW(Edit(), EM_SETSEL, 0, 5);
        theChatBox.m_editMessage.SetComposition(Composing());
        theChatBox.m_editMessage.SetCandidates(TwoCandidates());
        PumpPending();
    }
    bool EntriesAreTheOriginals() const { return *m_swapSlot == m_swapOriginal && *m_wglSlot == m_wglOriginal; }

    std::unique_ptr<CWinApp> m_app;
    CAppSettings m_saved;
    void** m_swapSlot = nullptr;
    void** m_wglSlot = nullptr;
    void* m_swapOriginal = nullptr;
    void* m_wglOriginal = nullptr;
    static std::unique_ptr<GlGameWindow> s_gl;
};

std::unique_ptr<GlGameWindow> FrameOverlayTest::s_gl;

TEST_F(FrameOverlayTest, PictureInTheGameFramesIsTheGdiPaintingPixelForPixelWhileTheGameRenders) {
    // What GDI paints over a game that paints with GDI.
    Shot painted;
    RECT caret{};
    {
        GameWindow gdiGame;
        Foreground(gdiGame.Handle());
        OpenAndFill(gdiGame.Handle());
        EXPECT_FALSE(FrameOverlayActive()) << "a game without a pixel format keeps the plain child";
        EXPECT_TRUE(EntriesAreTheOriginals());
        ::RedrawWindow(theChatBox.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        caret = CaretInBox();
        // Twice the same: the paint has reached the screen.
        PumpUntil([&] {
            Shot first = TakeScreen(ScreenRect(theChatBox.m_hWnd));
            painted = TakeScreen(ScreenRect(theChatBox.m_hWnd));
            return CountColour(painted, kBackColour) > 0 && Compare(first, painted, caret).count == 0;
        });
        ASSERT_GT(CountColour(painted, kBackColour), 0);
        theChatBox.DestroyWindow();
    }

    // The same box over the game that renders with OpenGL, read off the screen
    // over several frames.
    Foreground(Gl());
    OpenAndFill(Gl());
    ASSERT_TRUE(FrameOverlayActive());
    EXPECT_NE(*m_swapSlot, m_swapOriginal) << "the game's SwapBuffers entry leads through the drawing";
    EXPECT_EQ(RegionKind(theChatBox.m_hWnd), ERROR) << "whole until its picture is in a frame";
    EXPECT_EQ(CaretInBox().left, caret.left);
    const RECT box = BoxInGame();
    // Where the game's square walks, above the box.
    const RECT gameArea{0, 20, 800, 100};
    std::vector<Shot> moving;
    for (int round = 0; round < 3; ++round) {
        const unsigned start = s_gl->Frames();
        Shot framed;
        Difference difference;
        const bool same = s_gl->RenderUntil([&] {
            if (s_gl->Frames() < start + 3) return false;
            framed = Framed(box);
            difference = Compare(painted, framed, caret);
            return difference.count == 0;
        });
        EXPECT_TRUE(same) << "round " << round << ": " << difference.count << " pixels differ, first at ("
                          << difference.x << ", " << difference.y << ") 0x" << std::hex
                          << (difference.x >= 0 ? framed.At(difference.x, difference.y) : 0) << " for 0x"
                          << (difference.x >= 0 ? painted.At(difference.x, difference.y) : 0) << std::dec << " within ("
                          << difference.bounds.left << ", " << difference.bounds.top << ", " << difference.bounds.right
                          << ", " << difference.bounds.bottom << ") of " << framed.width << " x " << framed.height;
        EXPECT_TRUE(s_gl->OwnContextCurrent()) << "the game's own context is current after every frame";
        moving.push_back(Framed(gameArea));
    }
    EXPECT_EQ(RegionKind(theChatBox.m_hWnd), NULLREGION) << "the child covers nothing of the frame";
    // The game kept rendering: what moves in its frame moved between the rounds.
    EXPECT_TRUE(Compare(moving[0], moving[1], RECT{}).count > 0 || Compare(moving[1], moving[2], RECT{}).count > 0);
    // The keys still go to the box's edit.
    EXPECT_EQ(::GetFocus(), Edit());
}

TEST_F(FrameOverlayTest, WithTheDrawingTurnedOffTheBoxIsNotSeenOverTheFrames) {
    ::SetEnvironmentVariableW(L"PARLIX_NO_FRAME_DRAWING", L"1");
    OpenAndFill(Gl());
    EXPECT_FALSE(FrameOverlayActive());
    EXPECT_TRUE(EntriesAreTheOriginals());
    EXPECT_EQ(::GetFocus(), Edit());
    const RECT box = BoxInGame();
    const unsigned start = s_gl->Frames();
    Shot framed;
    // Frames went by and the box's area shows the game's clear colour, none of the box's.
    s_gl->RenderUntil([&] {
        framed = Framed(box);
        return s_gl->Frames() >= start + 10 && framed.At(framed.width / 2, framed.height - 3) == 0x000080;
    });
    EXPECT_GE(s_gl->Frames(), start + 10);
    EXPECT_EQ(CountColour(framed, kBackColour), 0);
    EXPECT_EQ(CountColour(framed, kEditBackColour), 0);
}

TEST_F(FrameOverlayTest, EntriesPointBackAtTheSystemWhenTheBoxClosesAndWhenTheDrawingFails) {
    for (bool wgl : {false, true}) {
        SCOPED_TRACE(wgl ? "presented with wglSwapBuffers" : "presented with SwapBuffers");
        s_gl->PresentWithWgl(wgl);
        // Escape.
        OpenAndFill(Gl());
        ASSERT_TRUE(FrameOverlayActive());
        EXPECT_NE(*m_swapSlot, m_swapOriginal);
        EXPECT_NE(*m_wglSlot, m_wglOriginal);
        const RECT box = BoxInGame();
        EXPECT_TRUE(s_gl->RenderUntil([&] { return CountColour(Framed(box), kBackColour) > 0; }))
            << "the box is drawn through this entry";
        // The first Escape drops the composition, the second closes the box.
        ::SendMessageW(Edit(), WM_KEYDOWN, VK_ESCAPE, 1);
        EXPECT_NE(theChatBox.m_hWnd, nullptr);
        ::SendMessageW(Edit(), WM_KEYDOWN, VK_ESCAPE, 1);
        PumpPending();
        EXPECT_EQ(theChatBox.m_hWnd, nullptr);
        EXPECT_FALSE(FrameOverlayActive());
        EXPECT_TRUE(EntriesAreTheOriginals());
        s_gl->RenderUntil([&] { return CountColour(Framed(box), kBackColour) == 0; });
        EXPECT_EQ(CountColour(Framed(box), kBackColour), 0) << "no box drawn after it closed";
    }
    s_gl->PresentWithWgl(false);

    // A picture that cannot be made inside the game's swap (the box shrinks when
    // the candidates go, and needs a new one): the entries go back and the box
    // stays, a plain child that still takes the keys.
    OpenAndFill(Gl());
    ASSERT_TRUE(FrameOverlayActive());
    {
        void* original = nullptr;
        ImportPatch failing("gdi32.dll", "CreateDIBSection", reinterpret_cast<void*>(&FailingCreateDib), &original);
        ASSERT_TRUE(failing.Patched());
        theChatBox.m_editMessage.SetCandidates(CandidateView{});
        const unsigned start = s_gl->Frames();
        s_gl->RenderUntil([&] { return !FrameOverlayActive() && s_gl->Frames() > start; });
    }
    EXPECT_FALSE(FrameOverlayActive());
    EXPECT_TRUE(EntriesAreTheOriginals());
    EXPECT_TRUE(s_gl->OwnContextCurrent());
    ASSERT_NE(theChatBox.m_hWnd, nullptr);
    EXPECT_EQ(RegionKind(theChatBox.m_hWnd), ERROR) << "the plain child is whole again";
    EXPECT_EQ(::GetFocus(), Edit());
    theChatBox.m_editMessage.SetComposition(Composition{});
    ::SendMessageW(Edit(), EM_SETSEL, 12, 12);
    ::SendMessageW(Edit(), WM_CHAR, '!', 1);
    EXPECT_EQ(theChatBox.m_editMessage.GetWindowText(), "Hello, frame!");

    // The process ending with a box open: the entries go back as well.
    theChatBox.DestroyWindow();
    OpenAndFill(Gl());
    ASSERT_TRUE(FrameOverlayActive());
    AbandonFrameOverlay();
    EXPECT_TRUE(EntriesAreTheOriginals());
    StopFrameOverlay();
}

}  // namespace
