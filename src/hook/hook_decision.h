// The hook's decision for one key event, apart from the platform: whether the
// event opens the chat box, and in which mode, or is passed on.
#pragma once

#include <cstdint>

// The three hot keys as the shared block holds them: signed 16-bit key codes.
struct HotKeys {
    std::int16_t say;
    std::int16_t sayTeam;
    std::int16_t rconSay;
};

inline constexpr int kHookCodeAction = 0;    // HC_ACTION
inline constexpr int kHookCodeNoRemove = 3;  // HC_NOREMOVE
inline constexpr int kPassOn = -1;
inline constexpr int kRefocusBox = -2;

// A stored key is widened with its sign before it meets the whole wParam, so a key
// of 0x8000 and above becomes a huge wParam value that no key event carries.
constexpr std::uintptr_t WidenHotKey(std::int16_t key) noexcept {
    return static_cast<std::uintptr_t>(static_cast<std::intptr_t>(key));
}

// The keystroke flags of a key event (lParam): bit 30 says the key was down
// before (an auto-repeat), bit 31 that it is going up.
inline constexpr std::uintptr_t kKeyWasDownFlag = std::uintptr_t{1} << 30;
inline constexpr std::uintptr_t kKeyGoingUpFlag = std::uintptr_t{1} << 31;

// Runs for every key event in every process that maps the module, so it is nothing
// but integer comparisons. Returns the mode (0 say, 1 say_team, 2 rcon say) or
// kPassOn; when two hot keys share a code the earlier one wins.
//
// Only a fresh press of a hot key counts. Its release and its auto-repeat pass
// on: a player who sends with Enter while still holding the last key typed, a
// hot key, must not find a new box opened when that key comes up or repeats.
// While the box is open the repeats reach its edit as typing.
constexpr int HotKeyMode(int code, std::uintptr_t wParam, std::uintptr_t keyFlags, const HotKeys& keys) noexcept {
    if (code != kHookCodeAction && code != kHookCodeNoRemove) return kPassOn;
    if ((keyFlags & (kKeyWasDownFlag | kKeyGoingUpFlag)) != 0) return kPassOn;
    if (wParam == WidenHotKey(keys.say)) return 0;
    if (wParam == WidenHotKey(keys.sayTeam)) return 1;
    if (wParam == WidenHotKey(keys.rconSay)) return 2;
    return kPassOn;
}

// The whole decision. The probe answers questions that cost platform calls; it is
// asked only for a hot key, in this order, and only until the answers decide:
//   bool HasCursor();                the thread shows a cursor
//   bool HasActiveWindow();          the thread has an active window
//   bool ChatBoxOpenAndVisible();    the box window exists and is visible
//   then, for a visible box only:
//   bool EditHasFocus();             the box's edit has the thread's focus
//   bool ActiveWindowIsBoxParent();  the active window is the one the box stands over
//   otherwise:
//   bool ActiveWindowIsGame();       the active window's executable is a game executable
// Returns the mode to open the box in, kRefocusBox, or kPassOn.
//
// A visible box whose edit lost the focus to another window of the game's thread
// (a click, or the game taking the focus back) takes no typing, and Enter and
// Escape go to the game: the hot key that would open a box gives the edit the
// focus back instead. While another window of the thread is active, such as the
// box's own error message, the key passes on and the focus stays where it is.
template <class Probe>
int DecideHook(int code, std::uintptr_t wParam, std::uintptr_t keyFlags, const HotKeys& keys, Probe& probe) {
    const int mode = HotKeyMode(code, wParam, keyFlags, keys);
    if (mode == kPassOn) return kPassOn;
    if (probe.HasCursor()) return kPassOn;
    if (!probe.HasActiveWindow()) return kPassOn;
    if (probe.ChatBoxOpenAndVisible()) {
        if (probe.EditHasFocus() || !probe.ActiveWindowIsBoxParent()) return kPassOn;
        return kRefocusBox;
    }
    if (!probe.ActiveWindowIsGame()) return kPassOn;
    return mode;
}
