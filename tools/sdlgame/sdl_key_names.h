// The engine's names of the keys that SDL2 reports, by SDL's scancode. SDL2
// makes its scancode from the key message's scan code and extended-key bit (a
// few keys aside, by their virtual-key code), so the names agree with those the
// GDI stand-in takes from the key message itself: Insert without the extended
// bit is KP_INS here too.
#pragma once

// Portable: the numbers are SDL's SDL_Scancode values, which SDL keeps stable.
namespace sdlgame {

// The bind name of the key, or "" for a key no bind can name.
const char* EngineKeyNameOfScancode(int scancode);

}  // namespace sdlgame
