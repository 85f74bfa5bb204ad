// The whole road of a message: typed into the box, written to parlix.cfg of the
// right mod folder, executed by the game on the send key; the history across
// openings and game restarts; closing without sending; painting. The error box
// of a failed write is in parts_e2e_test_win32.cpp.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

class MessageTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(StartHost()) << HostLog().Read();
    }

    // Opens the box with `key`, types `text`, checks the edit shows it; the box stays open.
    ChatBox OpenAndType(Game& game, WORD key, const std::wstring& text) {
        ChatBox box = OpenBox(game, key);
        if (!box.dialog) {
            ADD_FAILURE() << "no chat box; game log:\n" << game.log.Read();
            return box;
        }
        drive::TypeText(text);
        EXPECT_TRUE(drive::WaitForWindowText(box.edit, text)) << drive::WideToUtf8(drive::WindowText(box.edit));
        return box;
    }

    // Sends `text` with Enter and waits until the game has executed `command` and
    // the other players see the message.
    void Send(Game& game, WORD key, const std::wstring& text, const std::string& command) {
        ChatBox box = OpenAndType(game, key, text);
        if (!box.dialog) return;
        drive::TapKey(VK_RETURN);
        EXPECT_TRUE(game.log.WaitForLine("exec " + command)) << game.log.Read();
        EXPECT_TRUE(game.log.WaitForLine(SeenByPlayers(command))) << game.log.Read();
        EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    }

    // The stand-in game's line for what the players see of a short command.
    static std::string SeenByPlayers(const std::string& command) {
        for (const auto& [prefix, seen] : {std::pair{"say \"", "said "}, std::pair{"say_team \"", "said-team "},
                                           std::pair{"rcon say \"", "said-rcon "}}) {
            const std::string start = prefix;
            if (command.compare(0, start.size(), start) == 0)
                return seen + command.substr(start.size(), command.size() - start.size() - 1);
        }
        return "<not a chat command>";
    }
};

TEST_F(MessageTest, EachModeWritesItsCommandAndTheGameExecutesIt) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    const struct {
        WORD key;
        const wchar_t* text;
        std::string command;
    } cases[] = {
        {drive::kSayKey, L"hello world", "say \"hello world\""},
        // A double quote would end the quoted text and let the rest run as console
        // commands; the module writes it as a single quote. A percent sign stays as it is.
        {drive::kSayTeamKey, L"go \"B\"; quit 100%", "say_team \"go 'B'; quit 100%\""},
        {drive::kRconKey, L"hi", "rcon say \"hi\""},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.command);
        Send(game, each.key, each.text, each.command);
        // The whole file is the command: no line end, nothing left of a longer earlier one.
        EXPECT_EQ(ReadCfg(L"cstrike"), each.command);
        EXPECT_TRUE(drive::WaitForFocus(game.window));
    }
    EXPECT_FALSE(drive::FileExists(CfgPath(L"czero")));
}

TEST_F(MessageTest, ChineseTextReachesTheFileAsUtf8) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    Send(game, drive::kSayKey, L"\u4f60\u597d", "say \"\xE4\xBD\xA0\xE5\xA5\xBD\"");
    EXPECT_EQ(ReadCfg(L"cstrike"), "say \"\xE4\xBD\xA0\xE5\xA5\xBD\"");
}

TEST_F(MessageTest, CzeroFolderFollowsTheExecutableAndTheArguments) {
    const struct {
        const wchar_t* name;
        const wchar_t* arguments;
        const wchar_t* folder;
        const wchar_t* otherFolder;
    } cases[] = {
        {L"HL.exe", L"-game czero", L"czero", L"cstrike"},
        {L"CZero.exe", L"", L"czero", L"cstrike"},
        {L"CStrike.exe", L"czero", L"cstrike", L"czero"},
        {L"HL.exe", L"-game cstrike", L"cstrike", L"czero"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(drive::WideToUtf8(std::wstring(each.name) + L" " + each.arguments));
        ::DeleteFileW(CfgPath(L"cstrike").c_str());
        ::DeleteFileW(CfgPath(L"czero").c_str());
        Game& game = LaunchGame(each.name, each.arguments);
        ASSERT_TRUE(game.window);
        Send(game, drive::kSayKey, L"cz", "say \"cz\"");
        EXPECT_EQ(ReadCfg(each.folder), "say \"cz\"");
        EXPECT_FALSE(drive::FileExists(CfgPath(each.otherFolder)));
        game.process.Stop();
    }
}

TEST_F(MessageTest, EscapeClosesWithoutWritingAndSavesTheHistory) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    Send(game, drive::kSayKey, L"first", "say \"first\"");
    ::DeleteFileW(CfgPath(L"cstrike").c_str());
    drive::DeleteHistory();
    size_t sendKeys = game.log.Count("keydown 0x7b");

    ASSERT_TRUE(OpenAndType(game, drive::kSayKey, L"draft").dialog);
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(drive::WaitForFocus(game.window));
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(drive::FileExists(CfgPath(L"cstrike")));
    EXPECT_EQ(game.log.Count("keydown 0x7b"), sendKeys);
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.count, 1u);
    EXPECT_EQ(history.entries, std::vector<std::string>{"first"});
}

TEST_F(MessageTest, FocusToAnotherProgramClosesWithoutWritingAndSavesTheHistory) {
    Game& other = LaunchGame(L"Other.exe");
    ASSERT_TRUE(other.window);
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    Send(game, drive::kSayKey, L"first", "say \"first\"");
    ::DeleteFileW(CfgPath(L"cstrike").c_str());
    drive::DeleteHistory();

    ASSERT_TRUE(OpenAndType(game, drive::kSayKey, L"draft").dialog);
    ::SetForegroundWindow(other.window);
    ASSERT_TRUE(drive::WaitForForeground(other.window));
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    ASSERT_TRUE(SyncWithGame(other));
    EXPECT_FALSE(drive::FileExists(CfgPath(L"cstrike")));
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.entries, std::vector<std::string>{"first"});
}

TEST_F(MessageTest, UpAndDownRecallMessagesAcrossOpeningsAndGameRestarts) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    Send(game, drive::kSayKey, L"one", "say \"one\"");
    Send(game, drive::kSayKey, L"two", "say \"two\"");
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.count, 2u);
    EXPECT_EQ(history.entries, (std::vector<std::string>{"one", "two"}));

    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog);
    drive::TapKey(VK_UP);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"two"));
    drive::TapKey(VK_UP);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"one"));
    drive::TapKey(VK_UP);  // stays at the oldest
    drive::TapKey(VK_DOWN);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"two"));
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));

    // A new game process knows the history only from the registry.
    Relaunch(game);
    ASSERT_TRUE(game.window);
    box = OpenBox(game, drive::kSayTeamKey);
    ASSERT_TRUE(box.dialog);
    drive::TapKey(VK_UP);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"two"));
    drive::TapKey(VK_UP);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"one"));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("exec say_team \"one\"")) << game.log.Read();
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    // The recalled message moved to the newest place.
    EXPECT_EQ(drive::ReadHistory().entries, (std::vector<std::string>{"two", "one"}));
}

TEST_F(MessageTest, RememberHistoryOffLoadsSavesAndRecallsNothing) {
    drive::SetSetting(L"Remember History", DWORD{0});
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kelvandor\\Parlix\\History", 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD count = 1;
    ::RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    ::RegSetValueExA(key, "#0", 0, REG_SZ, reinterpret_cast<const BYTE*>("stored"), 7);
    ::RegCloseKey(key);

    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    Send(game, drive::kSayKey, L"one", "say \"one\"");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog);
    drive::TapKey(VK_UP);
    drive::TapKey(VK_END);
    drive::TypeText(L"x");
    // Had Up shown an entry, the x would follow it.
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"x")) << drive::WideToUtf8(drive::WindowText(box.edit));
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.count, 1u);
    EXPECT_EQ(history.entries, std::vector<std::string>{"stored"});
}

TEST_F(MessageTest, HostileCountCostsNoStoredMessage) {
    // 40 stored messages under a count of 0xFFFFFFFF: the box offers the newest of
    // them up to the maximum (32), and closing it saves those back.
    drive::SetSetting(L"Max History Items", DWORD{32});
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Kelvandor\\Parlix\\History", 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD count = 0xFFFFFFFF;
    ::RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    std::vector<std::string> newest;
    for (int i = 0; i < 40; ++i) {
        const std::string text = "m" + std::to_string(i);
        ::RegSetValueExA(key, ("#" + std::to_string(i)).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() + 1));
        if (i >= 8) newest.push_back(text);
    }
    ::RegCloseKey(key);

    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog);
    drive::TapKey(VK_UP);
    EXPECT_TRUE(drive::WaitForWindowText(box.edit, L"m39")) << drive::WideToUtf8(drive::WindowText(box.edit));
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.count, 32u);
    EXPECT_EQ(history.entries, newest);
}

TEST_F(MessageTest, EnterInAnEmptyBoxWritesPressesAndRecordsNothing) {
    // A full history of one message: an empty entry would push it out.
    drive::SetSetting(L"Max History Items", DWORD{1});
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    Send(game, drive::kSayKey, L"one", "say \"one\"");
    ASSERT_TRUE(::DeleteFileW(CfgPath(L"cstrike").c_str()));
    const size_t sendKeys = game.log.Count("keydown 0x7b");
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TapKey(VK_RETURN);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_TRUE(drive::WaitForFocus(game.window));
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_EQ(game.log.Count("keydown 0x7b"), sendKeys) << game.log.Read();
    EXPECT_FALSE(drive::FileExists(CfgPath(L"cstrike")));
    drive::StoredHistory history = drive::ReadHistory();
    EXPECT_EQ(history.count, 1u);
    EXPECT_EQ(history.entries, std::vector<std::string>{"one"});
}

TEST_F(MessageTest, UnknownSendKeyNameStillWritesTheFileAndCloses) {
    drive::SetSetting(L"Send Key", std::wstring(L"NoSuchKey"));
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    ASSERT_TRUE(OpenAndType(game, drive::kSayKey, L"quiet").dialog);
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    EXPECT_EQ(ReadCfg(L"cstrike"), "say \"quiet\"");
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_FALSE(game.log.Contains("exec say \"quiet\""));
}

// The frame reports the stand-in game has logged: each comes from a pass of its
// loop, which renders the whole client area right after.
size_t FrameReports(const Game& game) {
    const std::string log = "\n" + game.log.Read();
    size_t count = 0;
    for (size_t at = log.find("\nframes "); at != std::string::npos; at = log.find("\nframes ", at + 1)) ++count;
    return count;
}

constexpr UINT kFrameStatsMessage = WM_APP + 3;  // the stand-in game's frame report

// A game that renders every frame, with and without WS_CLIPCHILDREN on its
// window, the Quake-style loop, and the SDL2 game that renders with OpenGL,
// windowed and fullscreen (there the box is drawn into the game's frames): the
// box keeps its own pixels throughout, and they go with it.
class PaintedOverTheGame : public MessageTest, public testing::WithParamInterface<const wchar_t*> {};

TEST_P(PaintedOverTheGame, OpenBoxKeepsItsColoursWhileTheGameRendersEveryFrame) {
    if (std::wstring(GetParam()).rfind(L"sdl2", 0) == 0 && !Sdl2GameBuilt()) return;
    UseGameLoop(GetParam());
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    const LONG styleBefore = ::GetWindowLongW(game.window, GWL_STYLE);
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog);
    RECT outer, edit;
    ::GetWindowRect(box.dialog, &outer);
    ::GetWindowRect(box.edit, &edit);
    const struct {
        const char* where;
        int x, y;
        COLORREF colour;
    } points[] = {
        {"outer frame, top left", outer.left, outer.top, 0x809188},
        {"outer frame, bottom right", outer.right - 1, outer.bottom - 1, 0x222E28},
        {"outer frame, top right corner", outer.right - 1, outer.top, 0x222E28},
        {"interior", outer.left + 2, outer.bottom - 3, 0x44584C},
        {"well frame, top left", edit.left - 5, edit.top - 5, 0x222E28},
        {"well frame, bottom right", edit.right + 4, edit.bottom + 4, 0x809188},
        {"well", edit.left - 3, edit.top - 3, 0x37463E},
        {"edit", edit.right - 3, edit.bottom - 2, 0x37463E},
    };
    // The pixels are read from the screen: another process's window gives nothing through its own DC.
    auto allMatch = [&] {
        HDC screen = ::GetDC(nullptr);
        bool match = true;
        for (const auto& point : points) match = match && ::GetPixel(screen, point.x, point.y) == point.colour;
        ::ReleaseDC(nullptr, screen);
        return match;
    };
    auto expectAll = [&](int sample) {
        HDC screen = ::GetDC(nullptr);
        for (const auto& point : points)
            EXPECT_EQ(::GetPixel(screen, point.x, point.y), point.colour) << point.where << ", sample " << sample;
        ::ReleaseDC(nullptr, screen);
    };
    DWORD start = ::GetTickCount();
    while (!allMatch() && ::GetTickCount() - start < drive::kDeadlineMs) ::Sleep(50);
    expectAll(0);
    // Sampled again after passes of the game's loop, each followed by a frame
    // that fills the whole client area.
    for (int sample = 1; sample <= 5 && !HasFailure(); ++sample) {
        const size_t reports = FrameReports(game);
        ::PostMessageW(game.window, kFrameStatsMessage, 0, 0);
        start = ::GetTickCount();
        while (FrameReports(game) == reports && ::GetTickCount() - start < drive::kDeadlineMs) ::Sleep(20);
        ASSERT_GT(FrameReports(game), reports) << game.log.Read();
        expectAll(sample);
    }
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    // The game's own picture where the box was.
    auto boxSeen = [&] {
        HDC screen = ::GetDC(nullptr);
        const bool seen = ::GetPixel(screen, points[3].x, points[3].y) == points[3].colour;
        ::ReleaseDC(nullptr, screen);
        return seen;
    };
    start = ::GetTickCount();
    while (boxSeen() && ::GetTickCount() - start < drive::kDeadlineMs) ::Sleep(50);
    EXPECT_FALSE(boxSeen()) << "the box's picture stayed after it closed";
    EXPECT_EQ(::GetWindowLongW(game.window, GWL_STYLE), styleBefore) << "the game window's style is not its own again";
}

INSTANTIATE_TEST_SUITE_P(GameLoops, PaintedOverTheGame,
                         testing::Values(L"sdl", L"sdl-noclip", L"quake", L"sdl2-gl", L"sdl2-gl-fullscreen"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name = drive::WideToUtf8(info.param);
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

}  // namespace
}  // namespace e2e
