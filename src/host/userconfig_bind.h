// Setting the game up to run parlix.cfg on the send key: the line
// bind "<key>" "exec parlix.cfg" in userconfig.cfg of the game's mod folders,
// which the game executes at start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The game console's name of a key of the key table ("F12" -> "F12", "Y" -> "y",
// "Page Up" -> "PGUP"); empty for a name that is not in the table.
std::string GameBindKeyName(std::string_view keyName);

// bind "<game key>" "exec parlix.cfg"
std::string ParlixBindLine(std::string_view gameKeyName);

// Whether a line (without its line end) is a bind of some key to exec parlix.cfg,
// as this program writes it or as a player might have typed it.
bool IsParlixBindLine(std::string_view line) noexcept;

// The file with exactly one line of ours: the first earlier line of ours becomes
// bindLine with its own line end kept, later ones are dropped, and without one the
// line is appended with the file's own line end style (in front of it when the
// file's last line has none). Every other byte stays. Running it again on its
// result changes nothing.
std::string RewriteUserConfig(std::string_view content, std::string_view bindLine);

// The file without any line of ours, each taken out with its line end (or, for a
// last line without one, with the line end in front of it). On what
// RewriteUserConfig made of a file without such a line, this gives the file back.
std::string RemoveParlixBindLines(std::string_view content);

// A userconfig.cfg the set-up creates: a first line that says Parlix made the file,
// then bindLine. The first line is how the removal knows the file is its own to
// delete; a file that was there before, even an empty one, never gets it.
std::string NewUserConfig(std::string_view bindLine);

struct UserConfigRemoval {
    std::string content;      // the file without the lines of ours
    bool deleteFile = false;  // the set-up made the file and nothing of the player's is in it
};

// Takes the set-up out of a userconfig.cfg: every bind line of ours, and the first
// line of a file the set-up made. Such a file is to be deleted when nothing else
// is left in it; any other file stays, empty or not.
UserConfigRemoval RemoveParlixSetUp(std::string_view content);

// The userconfig.cfg paths of the cstrike and czero folders beside the game
// executable; empty when the path has no folder part. Wide text: in a double-byte
// ANSI code page a trail byte may equal the backslash.
std::vector<std::wstring> UserConfigPaths(std::wstring_view executablePath);
