// Decisions of the chat box window that need no window.
#pragma once

#include <cstdint>

#include "common/rect.h"

inline constexpr int IDS_PROMPT_SAY = 101;
inline constexpr int IDS_PROMPT_SAY_TEAM = 102;
inline constexpr int IDS_PROMPT_RCON = 103;

// The string id of the prompt for a say mode: 0 say, 1 say team, anything else
// rcon say (the hook gives 2 to every other hot key).
int PromptStringId(int mode) noexcept;

// After the edit lost the focus: the box stays open only when a window of the
// game's own thread took it. No focus window, a window of another thread, or a
// thread id of 0 (the owner could not be told) closes the box.
bool StaysOpenAfterFocusLoss(bool hasFocusWindow, std::uint32_t focusThread,
                             std::uint32_t gameThread) noexcept;

// Where the box goes in the game window's client coordinates: centred across (the
// halving truncates toward zero, so a box wider than the client area by 5 stands
// at -2), its bottom edge 20 pixels above the bottom of the client area.
Point PlaceChatBox(const Rect& client, int boxWidth, int boxHeight) noexcept;
