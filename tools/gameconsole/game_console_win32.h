// The game's console as the stand-in games play it, no kinder than the game:
// - the send key is the key bound to "exec parlix.cfg" in userconfig.cfg, told by
//   the engine's key names (from the scan code and the extended-key bit, never
//   from the virtual-key code: Insert without the extended bit is KP_INS);
// - a say, say_team or rcon say line keeps only its first 127 bytes, loses its
//   leading quote together with its last byte, is dropped when it is not valid
//   UTF-8, and is cut byte by byte to what the chat format leaves.
// Also the game's log (one UTF-8 line per event, read by the tests) and what the
// private messages of the tests make a game do.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace gameconsole {

// The private messages a test posts to a game window.
// The game gives its own window the focus, as a click into it does.
inline constexpr UINT kTakeFocusMessage = WM_APP + 1;
// The system unloads the hook module from the game's thread after the hook went
// away (Wine never does that by itself): FreeLibrary until the module is gone.
inline constexpr UINT kUnloadModuleMessage = WM_APP + 2;
// Logs "module loaded" or "module gone".
inline constexpr UINT kModuleQueryMessage = WM_APP + 4;

// The game's log: opened once at start, appended to by every piece of the game.
void OpenLog(const std::wstring& path);
void CloseLog();
HANDLE Log();
void WriteLog(const std::string& line);

// The mod folder (with a trailing backslash) as the module decides it: the
// executable's name first, then the first argument that begins with "czero".
std::wstring DecideModFolder(const std::wstring& exePath, const std::vector<std::wstring>& args);

// The engine's name of the key of a key message (its lParam); empty: no key.
std::string EngineKeyName(LPARAM keyData);
// A bind's key name as the engine compares it: one character exactly, a longer
// name with letter case aside.
std::string BindKeyName(const std::string& name);
// The key of the last line `bind "<key>" "exec parlix.cfg"` of the mod folder's
// userconfig.cfg as written there; empty when none is bound.
std::string ReadSendKey(const std::wstring& modFolder);

// Runs parlix.cfg of the mod folder as the console does and logs what it made of
// every line: "exec <content>", then "said <text>", "said-team <text>",
// "said-rcon <text>", "dropped <command>: not UTF-8" or "unknown <line>"; or
// "exec-failed <error>" when the file cannot be read.
void ExecuteCommandFile(const std::wstring& modFolder);

// FreeLibrary of Parlix.dll until it is gone; logs "unloaded <calls>". After it,
// every fault whose address lies in the module's former range is logged ("fault
// <code> at <address>"): code of the module was reached.
void UnloadHookModule();
// "module loaded" or "module gone".
std::string ModuleStateLine();

}  // namespace gameconsole
