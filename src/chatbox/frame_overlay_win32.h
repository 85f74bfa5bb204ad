// The chat box drawn into the frames of a game that renders with OpenGL.
//
// While a box is open over such a game, the game's import entries of SwapBuffers
// (gdi32) and wglSwapBuffers (opengl32) point at a function of ours that draws the
// box's current picture into the back buffer, with a GL context of our own made on
// the game's device context, and then presents the frame as the game asked. The
// box itself stays the GDI child it is otherwise: it keeps the keyboard focus and
// the IME, and paints the picture that goes into the frame.
//
// Everything here runs in the game's UI thread and never throws; any failure puts
// every entry back and leaves the box as a plain child window.
#pragma once

#include <windows.h>

// Starts drawing `box` into the frames of `game` when the process has opengl32
// loaded and the game window's context has a pixel format; the environment value
// PARLIX_NO_FRAME_DRAWING, read here, turns it off. False (nothing changed) when
// it does not start.
bool StartFrameOverlay(HWND game, HWND box) noexcept;
// Puts back every entry and frees the context; the box is no longer drawn. Safe
// to call when nothing was started, and again.
void StopFrameOverlay() noexcept;
// At the process's end, under the loader's lock: only the entries go back.
void AbandonFrameOverlay() noexcept;
// Whether entries currently point at our function.
bool FrameOverlayActive() noexcept;
