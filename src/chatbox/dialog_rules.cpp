#include "chatbox/dialog_rules.h"

#include <cstdint>

int PromptStringId(int mode) noexcept {
    switch (mode) {
    case 0: return IDS_PROMPT_SAY;
    case 1: return IDS_PROMPT_SAY_TEAM;
    default: return IDS_PROMPT_RCON;
    }
}

bool StaysOpenAfterFocusLoss(bool hasFocusWindow, std::uint32_t focusThread,
                             std::uint32_t gameThread) noexcept {
    return hasFocusWindow && focusThread != 0 && focusThread == gameThread;
}

Point PlaceChatBox(const Rect& client, int boxWidth, int boxHeight) noexcept {
    // Computed 64 bits wide so that no rectangle the platform can hand us
    // overflows; the results fit an int for every real window.
    const std::int64_t clientWidth = std::int64_t{client.right} - client.left;
    const std::int64_t x = client.left + (clientWidth - boxWidth) / 2;  // truncates toward zero
    const std::int64_t y = std::int64_t{client.bottom} - boxHeight - 20;
    return {static_cast<int>(x), static_cast<int>(y)};
}
