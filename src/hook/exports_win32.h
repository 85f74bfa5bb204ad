// The module's four exports (their names and ordinals are in Parlix.def), declared
// once for the module that defines them and for every program that finds them with
// GetProcAddress through the pointer types below.
#pragma once

#include <windows.h>

extern "C" {

// Stores the four 16-bit key codes, in order, in the block that every process
// mapping the module shares. The caller removes the arguments (the C convention).
void SetHotKeys(WORD sayKey, WORD sayTeamKey, WORD rconSayKey, WORD fourthKey);
// The keyboard hook for all threads, from the module loaded as "Parlix.dll"; null
// when there is no such module or the system refuses.
HHOOK InstallHook();
void UninstallHook();
LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);

}  // extern "C"

using SetHotKeysFn = decltype(&SetHotKeys);
using InstallHookFn = decltype(&InstallHook);
using UninstallHookFn = decltype(&UninstallHook);
using HookProcFn = decltype(&HookProc);
