// Deleting a registry key with everything below it, and clearing a key down to
// the values it should hold.
#pragma once

#include <windows.h>

#include <span>
#include <string>

// How far below the key to delete the deletion descends. Each level costs a stack
// frame with a 260-byte name buffer, and the deletion runs on whatever thread the
// module is called on, so a hostile tree deeper than this is left in place (the
// result is ERROR_STACK_OVERFLOW) rather than risking that thread's stack.
inline constexpr int kMaxDeleteDepth = 32;

// Deletes parent\path and every subkey below it; returns the platform's error code,
// ERROR_SUCCESS when the key is gone. When a subkey cannot be deleted the key itself
// stays, with whatever could not be removed. Wide, so that a subkey whose name the
// ANSI code page cannot hold is found and deleted too.
LONG DeleteKeyTree(HKEY parent, const wchar_t* path) noexcept;

// Removes from `key` every value whose name is none of `kept`, which are ASCII
// names compared without ASCII letter case as the registry compares them, and
// every subkey with its tree. True when nothing else is left.
bool RemoveAllValuesAndSubkeysBut(HKEY key, std::span<const std::string> kept) noexcept;
