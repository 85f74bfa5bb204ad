// Says the parts of long messages one after the other in the game's thread, on a
// thread timer: no thread of its own and no wait in the game's loop. The timer
// runs only while parts wait.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "chatbox/part_queue.h"
#include "hook/game_folder.h"

class PartSender {
public:
    // Whether a message's first part may be said now, from the box's Enter.
    bool MaySayNow() const noexcept;
    // The first part was said from the box (its file written, its key pressed).
    void SaidFromBox() noexcept;
    // Whether the parts of a text of `textBytes` bytes fit behind what waits.
    bool HasRoomFor(std::size_t textBytes) const noexcept { return m_queue.HasRoomFor(textBytes); }
    // Queues one command of a message; `last` ends the message.
    void Add(std::string_view command, bool last) noexcept { m_queue.Add(command, last); }
    // Says what waits over `game`, through the command file of `folder` and the
    // send key `sendKey` (the newest serve every part that waits), starting the
    // timer when it does not run.
    void Start(HWND game, GameFolder folder, std::uint16_t sendKey) noexcept;
    // How many parts wait.
    std::size_t Waiting() const noexcept { return m_queue.Waiting(); }
    // Forgets every waiting part and the time of the last one said (for tests,
    // which start each case afresh).
    void Reset() noexcept {
        if (m_timer != 0) ::KillTimer(nullptr, m_timer);
        m_timer = 0;
        m_queue = PartQueue{};
    }

    // One step of the timer.
    void OnTimer() noexcept;

private:
    // The game shows play: its window in front, no cursor in its thread, and no box
    // open over it, which would take the send key itself.
    bool GameInPlay() const noexcept;
    PartQueue m_queue;
    HWND m_game = nullptr;
    GameFolder m_folder = GameFolder::cstrike;
    std::uint16_t m_sendKey = 0;
    UINT_PTR m_timer = 0;
};

// The process's sender, for the chat box.
extern PartSender thePartSender;

// Writes `command` as the command file of `folder` and presses `sendKey`; false
// when the file could not be written (or there was no memory for its path).
bool SayCommand(std::string_view command, GameFolder folder, std::uint16_t sendKey) noexcept;
