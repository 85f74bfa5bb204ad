// The console command that says a typed message in the game.
#pragma once

#include <string>
#include <string_view>

// mode 0 gives `say "text"`, 1 `say_team "text"`, 2 `rcon say "text"`; any other
// value is taken as 2, as the hook gives 2 to every hot key that is neither the
// say key nor the say-team key.
//
// The game's console has no escape inside a quoted argument: a double quote in the
// text would end the argument and let what follows run as commands of its own, and
// a line end would start a new command. Each double quote therefore becomes an
// apostrophe and each CR or LF a blank; every other byte is copied unchanged.
std::string FormatSayCommand(int mode, std::string_view text);
