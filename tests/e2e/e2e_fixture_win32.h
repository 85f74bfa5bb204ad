// The fixture of the end-to-end tests: a fresh game folder, fresh settings, the
// test host and the stand-in games of one test, all stopped at its end.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drive_win32.h"

namespace e2e {

// Set by the first check in main when windows or keys do not work, or the built
// programs are missing; every test then fails at once with this reason.
extern std::string g_brokenReason;
// Runs that first check: a stand-in game must show its window, take the
// foreground and receive a key, each within a few seconds.
std::string CheckWindowsWork();
// The test IME's layout name, installed by main; empty, with the reason in
// g_testImeProblem, when it could not be installed.
extern std::wstring g_testImeLayout;
extern std::string g_testImeProblem;

struct Game {
    drive::Process process;
    drive::LogFile log{L""};
    std::wstring exe;
    HWND window = nullptr;
};

class E2eTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::wstring& Folder() const { return m_folder.Path(); }
    // The loop the games launched from now on run ("sdl", "sdl-noclip", "quake",
    // or the SDL2 game's "sdl2-gl", "sdl2-gl-fullscreen", drive_win32.h); "sdl",
    // the GDI stand-in of the SDL2 build's frame loop, unless a test chooses another.
    void UseGameLoop(const std::wstring& loop) { m_gameLoop = loop; }
    // For a test of the SDL2 game: false, with the test marked skipped and the
    // reason given, when the game was not built (no SDL2 build was found). Where
    // PARLIX_REQUIRE_SDL2_GAME is set (the test command sets it) that is a failure.
    bool Sdl2GameBuilt();
    // Starts the test host with the hot keys Y, U, P.
    bool StartHost(const std::wstring& module = L"");
    void StopHost() { m_host.Stop(); }
    const drive::LogFile& HostLog() const { return m_hostLog; }
    // Stages and starts a game in the test's folder; its window is in the foreground on return.
    Game& LaunchGame(const std::wstring& name, const std::wstring& arguments = L"", bool withModFolders = true);
    // The same in another folder (with a trailing backslash) with both mod folders.
    Game& LaunchGameIn(const std::wstring& folder, const std::wstring& name);
    // Starts an already staged game again (a restart of the game).
    void Relaunch(Game& game, const std::wstring& arguments = L"");
    // Brings the game to the foreground and presses a hot key; gives the open box or an empty one.
    drive::ChatBox OpenBox(Game& game, WORD key);
    // Presses a key that no one else wants and waits until the game has it: every
    // key injected before has then been handled by the game's thread.
    bool SyncWithGame(Game& game);
    std::wstring CfgPath(const wchar_t* modFolder) const { return Folder() + modFolder + L"\\parlix.cfg"; }
    std::string ReadCfg(const wchar_t* modFolder) const;

private:
    Game& Launch(const std::wstring& folder, const std::wstring& name, const std::wstring& arguments,
                 bool withModFolders);

    drive::TempFolder m_folder{L"e2e"};
    drive::LogFile m_hostLog{L""};
    drive::Process m_host;
    std::vector<std::unique_ptr<Game>> m_games;
    int m_logCounter = 0;
    std::wstring m_gameLoop = L"sdl";
};

// Asks a game that counts its frames (the SDL2 game) for the frames it rendered
// so far; 0 when it does not answer.
unsigned long long FramesRendered(const Game& game);

// Say, say-team and rcon-say prompts as the chat box shows them.
extern const wchar_t kPromptSay[];
extern const wchar_t kPromptSayTeam[];
extern const wchar_t kPromptRcon[];

}  // namespace e2e
