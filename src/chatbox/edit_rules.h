// What the message edit does with keys: the three keys a dialog would take for
// itself, the characters it drops, and walking the history with Up and Down.
#pragma once

#include <cstdint>
#include <optional>

// Notifications the edit sends to its dialog in the high word of WM_COMMAND's
// wParam; no standard edit notification uses these codes.
inline constexpr unsigned EN_KEY_ENTER = 0x1001;
inline constexpr unsigned EN_KEY_ESCAPE = 0x1002;

inline constexpr unsigned kVirtualKeyTab = 0x09;
inline constexpr unsigned kVirtualKeyReturn = 0x0D;
inline constexpr unsigned kVirtualKeyEscape = 0x1B;
inline constexpr unsigned kVirtualKeyUp = 0x26;
inline constexpr unsigned kVirtualKeyDown = 0x28;

enum class KeyForward { defaultProcessing, nextControl, enter, escape };

// Tab moves to the next control, Enter and Escape become notifications; every
// other key gets the standard edit's own handling.
KeyForward ClassifyKeyDown(unsigned virtualKey) noexcept;

// False for carriage return and escape, which the standard edit would insert or
// beep at; every other character (Tab included) goes on.
bool KeepsCharacter(unsigned character) noexcept;

struct NavigationStep {
    enum Kind {
        notNavigation,  // not Up or Down, or history is off: forward the key
        consumed,       // Up or Down at a bound: swallowed, nothing shown
        show            // show entry `index` and make it the current one
    } kind;
    std::int32_t index;  // the index after the step
};

// One Up or Down over a list of `size` entries with the current `index` (size
// when no entry is shown, -1 before the first change). Up stops at 0, Down at
// the newest entry; with an empty list nothing moves.
NavigationStep Navigate(unsigned virtualKey, std::int32_t index, std::int32_t size,
                        bool rememberHistory) noexcept;

// After the edit reports a change: a change made by navigation itself
// (`settingText`) keeps the index; any other puts it past the newest entry.
std::optional<std::int32_t> IndexAfterChange(bool settingText, std::int32_t size) noexcept;
