// Helpers for tests that drive real windows in the test's own thread: a stand-in
// game window, message pumping with a deadline, and a reader for modal boxes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

// Dispatches this thread's messages until `done` answers true or `milliseconds`
// pass; returns what `done` answered last.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000);
void PumpPending();

// A visible top-level window of this thread that stands for the game window; it
// clips its children so that the chat box's pixels are the box's own.
class GameWindow {
public:
    GameWindow();
    ~GameWindow();
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    HWND Handle() const noexcept { return m_hwnd; }
    // Makes it the foreground window, so that synthetic input reaches this thread.
    bool BringToForeground() const;

private:
    HWND m_hwnd = nullptr;
};

// What a modal message box of this thread showed before the reader pressed OK.
struct SeenBox {
    bool shown = false;
    std::string caption;
    std::string text;
};

// While it lives, a timer of this thread finds any message box that opens (its
// modal loop keeps dispatching timers), reads it and presses its OK button. Gives
// up on a box after a few seconds by closing it all the same.
class MessageBoxReader {
public:
    MessageBoxReader();
    ~MessageBoxReader();
    MessageBoxReader(const MessageBoxReader&) = delete;
    MessageBoxReader& operator=(const MessageBoxReader&) = delete;

    const SeenBox& Seen() const noexcept;

private:
    UINT_PTR m_timer = 0;
};

}  // namespace testsupport
