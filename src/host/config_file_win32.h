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

// The copy of a file's old content that waits beside it while it is rewritten.
std::wstring BackupPathOf(const std::wstring& path);

// How a rewrite ended.
enum class Rewrite {
    written,    // the file holds the new content
    untouched,  // it could not be opened or made writable: it is as it was
    putBack,    // the write failed and the old content went back in
    damaged,    // the old content could not go back either: the backup keeps it
};

// Rewrites an existing file through its own handle, so that it keeps its
// attributes (read-only and hidden included), permissions, owner and links, which
// moving a new file over it would lose. Until the new content is on disk a copy
// of the old one waits beside it (BackupPathOf), for a write that a crash cuts
// short; a write that fails puts the old content back, and where even that fails
// the copy stays. A copy that is there already is never overwritten (the rewrite
// is then untouched, with ERROR_FILE_EXISTS): RestoreLeftBackup deals with it.
Rewrite RewriteConfigFile(const std::wstring& path, std::string_view before, std::string_view after, DWORD& error);

// A copy left beside the file by a rewrite that was cut short holds the last
// content the file had whole: it goes back into the file (in place, as a rewrite
// writes) and then goes itself. False when it could not go back; the copy then
// stays as it is. `restored` says whether a copy went back.
bool RestoreLeftBackup(const std::wstring& path, bool& restored, DWORD& error);
