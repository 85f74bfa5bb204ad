#include "chatbox/dialog_rules.h"

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
