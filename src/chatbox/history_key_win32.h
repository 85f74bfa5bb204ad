// The history's own key below the application's profile.
#pragma once

// Deletes HKEY_CURRENT_USER\Software\<maker>\<profile>\History of the process's
// application with everything below it; true when it was deleted. A save keeps
// the key and removes only what it did not write, so a failed save never loses
// the history; this is for starting afresh.
bool DeleteHistoryKey() noexcept;
