#include "chatbox/part_sender_win32.h"

#include "hook/chat_box_win32.h"

// Constant-initialised: no code runs for it when the module enters a process.
constinit PartSender thePartSender;

namespace {

// A tenth of the interval: a part goes out at most this much later than it may.
constexpr UINT kTickMs = 100;

void CALLBACK OnPartTimer(HWND, UINT, UINT_PTR, DWORD) noexcept { thePartSender.OnTimer(); }

std::uint64_t Now() noexcept { return ::GetTickCount64(); }

}  // namespace

bool PartSender::MaySayNow() const noexcept { return m_queue.MaySayNow(Now()); }

void PartSender::SaidFromBox() noexcept {
    // The queue is empty here: Said only notes the time.
    m_queue.Said(Now());
}

void PartSender::Start(HWND game, GameFolder folder, std::uint16_t sendKey) noexcept {
    m_game = game;
    m_folder = folder;
    m_sendKey = sendKey;
    if (m_timer == 0 && !m_queue.Empty()) m_timer = ::SetTimer(nullptr, 0, kTickMs, &OnPartTimer);
}

bool PartSender::GameInPlay() const noexcept {
    const HWND box = ChatBoxWindow();
    return ::GetForegroundWindow() == m_game && ::GetCursor() == nullptr && (box == nullptr || !::IsWindow(box));
}

void PartSender::OnTimer() noexcept {
    const std::uint64_t now = Now();
    const std::string_view command = m_queue.Next(now, GameInPlay());
    if (!command.empty()) {
        // A part that could not be written is tried again at the next step,
        // within its message's time to wait.
        if (SayCommand(command, m_folder, m_sendKey)) m_queue.Said(now);
        else m_queue.Blocked(now);
    }
    if (m_queue.Empty() && m_timer != 0) {
        ::KillTimer(nullptr, m_timer);
        m_timer = 0;
    }
}
