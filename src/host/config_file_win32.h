// The game's config files as the set-up changes them: read whole, and written
// back so that the player's file stays the same file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Reads the whole file. A missing file is no error: exists is false then.
bool ReadConfigFile(const std::wstring& path, std::string& content, bool& exists, DWORD& error);

// Creates a file that must not exist yet; on a failure nothing is left behind.
bool CreateConfigFile(const std::wstring& path, std::string_view content, DWORD& error);

// Rewrites an existing file through its own handle, so that it keeps its
// attributes (read-only and hidden included), permissions, owner and links, which
// moving a new file over it would lose. Until the new content is on disk a copy
// of the old one waits beside it (<path>.parlix-backup), for a write that a crash
// cuts short; a write that fails puts the old content back.
bool RewriteConfigFile(const std::wstring& path, std::string_view before, std::string_view after, DWORD& error);
