#include "e2e_fixture_win32.h"

#include <sstream>

namespace e2e {

std::string g_brokenReason;
std::wstring g_testImeLayout;
std::string g_testImeProblem;

const wchar_t kPromptSay[] = L"\u5bf9\u6240\u6709\u4eba\u8bf4:";
const wchar_t kPromptSayTeam[] = L"\u5bf9\u961f\u53cb\u8bf4:";
const wchar_t kPromptRcon[] = L"Rcon say (OP):";

namespace {

constexpr WORD kSyncKey = 'Q';

}  // namespace

std::string CheckWindowsWork() {
    for (const wchar_t* program : {L"Parlix.dll", L"ParlixTestHost.exe", L"ParlixStandinGame.exe"}) {
        if (!drive::FileExists(drive::ProgramFolder() + program))
            return "the end-to-end tests need " + drive::WideToUtf8(program) + " beside them; it was not built";
    }
    drive::TempFolder folder(L"e2e-check");
    std::wstring exe = drive::StageGame(folder.Path(), L"Probe.exe");
    drive::LogFile log(folder.Path() + L"probe.log");
    drive::Process game;
    if (!drive::StartGame(game, exe, log)) return "the stand-in game could not be started";
    HWND window = drive::WaitForProcessWindow(game.Id(), L"ParlixStandinGame");
    std::string reason;
    if (!window) {
        reason = "windows do not work: the stand-in game's window did not appear within 5 s (is the X display "
                 "running and DISPLAY set? see the display check); its log:\n" + log.Read();
    } else if (!drive::WaitForForeground(window)) {
        reason = "windows do not work: the stand-in game's window never became the foreground window";
    } else {
        drive::TapKey(kSyncKey);
        if (!log.WaitForLine("keydown 0x51"))
            reason = "synthetic keys do not work: the stand-in game did not receive a key within 5 s";
    }
    game.Stop();
    return reason;
}

void E2eTest::SetUp() {
    if (!g_brokenReason.empty()) GTEST_FAIL() << g_brokenReason;
    drive::ResetSettings();
    drive::SetSetting(L"Executable File", Folder() + L"HL.exe");
    m_hostLog = drive::LogFile(Folder() + L"host.log");
}

void E2eTest::TearDown() {
    for (auto& game : m_games) game->process.Stop();
    m_games.clear();
    m_host.Stop();
    drive::ResetSettings();
}

bool E2eTest::StartHost(const std::wstring& module) {
    return drive::StartHost(m_host, m_hostLog, module);
}

Game& E2eTest::LaunchGame(const std::wstring& name, const std::wstring& arguments, bool withModFolders) {
    return Launch(Folder(), name, arguments, withModFolders);
}

Game& E2eTest::LaunchGameIn(const std::wstring& folder, const std::wstring& name) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return Launch(folder, name, L"", true);
}

Game& E2eTest::Launch(const std::wstring& folder, const std::wstring& name, const std::wstring& arguments,
                      bool withModFolders) {
    auto game = std::make_unique<Game>();
    game->exe = drive::StageGame(folder, name, withModFolders, m_gameLoop);
    // The game runs parlix.cfg only on a key bound to it, as the host's set-up binds
    // the send key; a test that set the game up itself keeps its own binding.
    if (withModFolders && !drive::FileExists(folder + L"cstrike\\userconfig.cfg")) drive::BindSendKey(folder, "F12");
    m_games.push_back(std::move(game));
    Relaunch(*m_games.back(), arguments);
    return *m_games.back();
}

void E2eTest::Relaunch(Game& game, const std::wstring& arguments) {
    game.process.Stop();
    game.window = nullptr;
    game.log = drive::LogFile(Folder() + L"game" + std::to_wstring(++m_logCounter) + L".log");
    if (!drive::StartGame(game.process, game.exe, game.log, L"--loop " + m_gameLoop + L" " + arguments)) {
        const DWORD error = ::GetLastError();
        ADD_FAILURE() << "the game " << drive::WideToUtf8(game.exe) << " could not be started (error " << error
                      << (drive::FileExists(game.exe) ? ")" : ", the file is missing)");
        return;
    }
    game.window = drive::WaitForProcessWindow(game.process.Id(), drive::GameWindowClass(m_gameLoop));
    if (game.window && !drive::WaitForForeground(game.window)) game.window = nullptr;
}

namespace {
constexpr UINT kFrameCountMessage = WM_APP + 5;  // the game logs "rendered <n>"

// "rendered" lines of the log, in order.
std::vector<unsigned long long> RenderedCounts(const drive::LogFile& log) {
    std::vector<unsigned long long> counts;
    std::istringstream lines(log.Read());
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind("rendered ", 0) == 0) counts.push_back(std::stoull(line.substr(9)));
    return counts;
}
}  // namespace

unsigned long long FramesRendered(const Game& game) {
    const size_t before = RenderedCounts(game.log).size();
    ::PostMessageW(game.window, kFrameCountMessage, 0, 0);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < drive::kDeadlineMs) {
        const std::vector<unsigned long long> counts = RenderedCounts(game.log);
        if (counts.size() > before) return counts.back();
        ::Sleep(20);
    }
    return 0;
}

bool E2eTest::Sdl2GameBuilt() {
    if (drive::FileExists(drive::ProgramFolder() + L"ParlixSdlGame.exe") &&
        drive::FileExists(drive::ProgramFolder() + L"SDL2.dll"))
        return true;
    const char* reason = "the SDL2 game was not built: no SDL2 build was found (run scripts/lib/sdl2.sh and "
                         "configure again)";
    wchar_t required[8] = {};
    if (::GetEnvironmentVariableW(L"PARLIX_REQUIRE_SDL2_GAME", required, 8) > 0) {
        ADD_FAILURE() << reason;
    } else {
        [reason] { GTEST_SKIP() << reason; }();  // marks the test skipped; the caller returns at once
    }
    return false;
}

drive::ChatBox E2eTest::OpenBox(Game& game, WORD key) {
    drive::ChatBox box;
    if (!game.window) return box;
    ::SetForegroundWindow(game.window);
    if (!drive::WaitForForeground(game.window)) return box;
    drive::TapKey(key);
    drive::WaitForChatBox(game.window, box);
    return box;
}

bool E2eTest::SyncWithGame(Game& game) {
    std::string line = "keydown 0x51";
    size_t before = game.log.Count(line);
    drive::TapKey(kSyncKey);
    DWORD start = ::GetTickCount();
    while (game.log.Count(line) == before) {
        if (::GetTickCount() - start > drive::kDeadlineMs) return false;
        ::Sleep(20);
    }
    return true;
}

std::string E2eTest::ReadCfg(const wchar_t* modFolder) const {
    std::string bytes;
    if (!drive::ReadFileBytes(CfgPath(modFolder), bytes)) return "<no file>";
    return bytes;
}

}  // namespace e2e
