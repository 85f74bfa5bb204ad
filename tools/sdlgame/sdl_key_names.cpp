#include "sdl_key_names.h"

#include <iterator>

namespace sdlgame {

namespace {

// SDL_Scancode values (SDL_scancode.h: they follow the USB HID usage table).
enum : int {
    kA = 4, kZ = 29, k1 = 30, k0 = 39, kReturn = 40, kEscape = 41, kBackspace = 42, kTab = 43, kSpace = 44,
    kMinus = 45, kEquals = 46, kLeftBracket = 47, kRightBracket = 48, kBackslash = 49, kSemicolon = 51,
    kApostrophe = 52, kGrave = 53, kComma = 54, kPeriod = 55, kSlash = 56, kF1 = 58, kF12 = 69, kPause = 72,
    kInsert = 73, kHome = 74, kPageUp = 75, kDelete = 76, kEnd = 77, kPageDown = 78, kRight = 79, kLeft = 80,
    kDown = 81, kUp = 82, kKpDivide = 84, kKpMultiply = 85, kKpMinus = 86, kKpPlus = 87, kKpEnter = 88,
    kKp1 = 89, kKp0 = 98, kKpPeriod = 99, kLeftCtrl = 224, kLeftShift = 225, kLeftAlt = 226, kRightCtrl = 228,
    kRightShift = 229, kRightAlt = 230,
};

struct Named {
    int scancode;
    const char* name;
};

constexpr Named kNames[] = {
    {kReturn, "ENTER"}, {kEscape, "ESCAPE"}, {kBackspace, "BACKSPACE"}, {kTab, "TAB"}, {kSpace, "SPACE"},
    {kMinus, "-"}, {kEquals, "="}, {kLeftBracket, "["}, {kRightBracket, "]"}, {kBackslash, "\\"},
    {kSemicolon, "SEMICOLON"}, {kApostrophe, "'"}, {kGrave, "`"}, {kComma, ","}, {kPeriod, "."}, {kSlash, "/"},
    {kPause, "PAUSE"}, {kInsert, "INS"}, {kHome, "HOME"}, {kPageUp, "PGUP"}, {kDelete, "DEL"}, {kEnd, "END"},
    {kPageDown, "PGDN"}, {kRight, "RIGHTARROW"}, {kLeft, "LEFTARROW"}, {kDown, "DOWNARROW"}, {kUp, "UPARROW"},
    {kKpDivide, "KP_SLASH"}, {kKpMultiply, "*"}, {kKpMinus, "KP_MINUS"}, {kKpPlus, "KP_PLUS"},
    {kKpEnter, "KP_ENTER"}, {kKp0, "KP_INS"}, {kKpPeriod, "KP_DEL"}, {kLeftCtrl, "CTRL"}, {kRightCtrl, "CTRL"},
    {kLeftShift, "SHIFT"}, {kRightShift, "SHIFT"}, {kLeftAlt, "ALT"}, {kRightAlt, "ALT"},
};

// The keypad's digits 1 to 9, in SDL's order, by the names of the keys they share
// their scan codes with.
constexpr const char* kKeypadDigits[] = {"KP_END", "KP_DOWNARROW", "KP_PGDN", "KP_LEFTARROW", "KP_5",
                                         "KP_RIGHTARROW", "KP_HOME", "KP_UPARROW", "KP_PGUP"};

constexpr const char* kLetters[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
                                    "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z"};
constexpr const char* kDigits[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0"};
constexpr const char* kFunctionKeys[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};

}  // namespace

const char* EngineKeyNameOfScancode(int scancode) {
    if (scancode >= kA && scancode <= kZ) return kLetters[scancode - kA];
    if (scancode >= k1 && scancode <= k0) return kDigits[scancode - k1];
    if (scancode >= kF1 && scancode <= kF12) return kFunctionKeys[scancode - kF1];
    if (scancode >= kKp1 && scancode < kKp1 + static_cast<int>(std::size(kKeypadDigits)))
        return kKeypadDigits[scancode - kKp1];
    for (const Named& each : kNames)
        if (each.scancode == scancode) return each.name;
    return "";
}

}  // namespace sdlgame
