// Long messages go out as paced parts, each a chat line the game keeps whole, and
// no message the player typed is lost: not to a pause of play, not to a failed
// write of the command file. Against the stand-in game, which ignores a chat line
// within 0.66 s of the previous one as the game does.
#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

using drive::ChatBox;

std::wstring Repeat(const std::wstring& text, int times) {
    std::wstring result;
    for (int i = 0; i < times; ++i) result += text;
    return result;
}

// The stand-in's chat lines ("said ..." and the like) and everything it ignored
// or dropped, logged after `from` bytes of its log.
struct ChatLines {
    std::vector<std::string> said;  // the texts, without the "said " prefix
    std::vector<std::string> refused;
};

ChatLines ChatSince(const Game& game, size_t from, const std::string& prefix = "said ") {
    ChatLines lines;
    const std::string log = game.log.Read();
    size_t at = from;
    while (at < log.size()) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, prefix.size(), prefix) == 0) lines.said.push_back(line.substr(prefix.size()));
        if (line.compare(0, 8, "ignored ") == 0 || line.compare(0, 8, "dropped ") == 0) lines.refused.push_back(line);
        at = end + 1;
    }
    return lines;
}

// Waits until `count` chat lines have come since `from`.
bool WaitForChat(const Game& game, size_t from, size_t count, const std::string& prefix = "said ") {
    const DWORD start = ::GetTickCount();
    const DWORD deadlineMs = 3 * drive::kDeadlineMs;
    while (ChatSince(game, from, prefix).said.size() < count) {
        if (::GetTickCount() - start > deadlineMs) return false;
        ::Sleep(20);
    }
    return true;
}

// Waits, by the clock, until `ms` have passed since `start`: for what must not
// happen within a time, such as parts while play pauses.
void LetTimePass(DWORD start, DWORD ms) {
    while (::GetTickCount() - start < ms) ::Sleep(20);
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& part : parts) all += part;
    return all;
}

class PartsTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(StartHost()) << HostLog().Read();
    }

    // Opens a box, types `text`, checks it is all there and presses Enter.
    void TypeAndEnter(Game& game, WORD key, const std::wstring& text) {
        ChatBox box = OpenBox(game, key);
        ASSERT_TRUE(box.dialog) << game.log.Read();
        drive::TypeText(text);
        ASSERT_TRUE(drive::WaitForWindowText(box.edit, text)) << drive::WideToUtf8(drive::WindowText(box.edit));
        drive::TapKey(VK_RETURN);
        ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    }
};

TEST_F(PartsTest, LongMessagesArriveAsWholeChatLinesInOrderNoneIgnored) {
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    // 250 bytes: 16 phrases of four Chinese characters and a full-width comma,
    // then "好的!ok!".
    const std::wstring chinese = Repeat(L"\u5bf9\u4f60\u8bf4\u8bdd\uff0c", 16) + L"\u597d\u7684!ok!";
    ASSERT_EQ(drive::WideToUtf8(chinese).size(), 250u);
    const struct {
        WORD key;
        std::wstring text;
        size_t parts;
        const char* prefix;
    } cases[] = {
        {drive::kSayKey, chinese, 3, "said "},
        {drive::kSayTeamKey, Repeat(L"ok \u4f60\u597d ", 20), 2, "said-team "},  // 200 bytes
        {drive::kRconKey, std::wstring(300, L'x'), 3, "said-rcon "},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.prefix);
        const size_t from = game.log.Read().size();
        TypeAndEnter(game, each.key, each.text);
        ASSERT_TRUE(WaitForChat(game, from, each.parts, each.prefix)) << game.log.Read().substr(from);
        // Sent quickly one after the other, the messages still keep their distance.
        const ChatLines lines = ChatSince(game, from, each.prefix);
        EXPECT_TRUE(lines.refused.empty()) << game.log.Read().substr(from);
        EXPECT_EQ(lines.said.size(), each.parts);
        for (const std::string& line : lines.said) EXPECT_LE(line.size(), 100u) << line;
        EXPECT_EQ(Joined(lines.said), drive::WideToUtf8(each.text));
    }
    // Cut after a comma where one stood in a part's last quarter: phrases stay whole.
    const ChatLines first = ChatSince(game, 0);
    ASSERT_EQ(first.said.size(), 3u);
    EXPECT_EQ(first.said[0], drive::WideToUtf8(Repeat(L"\u5bf9\u4f60\u8bf4\u8bdd\uff0c", 6)));
    EXPECT_EQ(drive::ReadHistory().entries.back(), drive::WideToUtf8(std::wstring(300, L'x')));
}

TEST_F(PartsTest, PausedPlayHoldsThePartsBackAndALongPauseDropsTheRestButNotTheHistory) {
    Game& other = LaunchGame(L"Other.exe");
    ASSERT_TRUE(other.window);
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window);
    // Play pauses (another program in front) once the first part is out; gives
    // how many parts had gone out by then.
    auto pauseAfterFirstPart = [&](size_t from) {
        EXPECT_TRUE(WaitForChat(game, from, 1)) << game.log.Read().substr(from);
        ::SetForegroundWindow(other.window);
        EXPECT_TRUE(drive::WaitForForeground(other.window));
        return ChatSince(game, from).said.size();
    };
    auto resume = [&] {
        ::SetForegroundWindow(game.window);
        EXPECT_TRUE(drive::WaitForForeground(game.window));
    };

    // A short pause: the parts wait and go once the game is in front again.
    const std::wstring a = std::wstring(100, L'a') + std::wstring(100, L'b') + std::wstring(50, L'c');
    size_t from = game.log.Read().size();
    TypeAndEnter(game, drive::kSayKey, a);
    size_t before = pauseAfterFirstPart(from);
    ASSERT_LT(before, 3u) << "the parts were out before play paused";
    LetTimePass(::GetTickCount(), 2500);  // the rest would be out by now in play
    EXPECT_EQ(ChatSince(game, from).said.size(), before) << "a part went out while the game was not in front";
    resume();
    ASSERT_TRUE(WaitForChat(game, from, 3)) << game.log.Read().substr(from);
    ChatLines lines = ChatSince(game, from);
    EXPECT_EQ(Joined(lines.said), drive::WideToUtf8(a));
    EXPECT_TRUE(lines.refused.empty()) << game.log.Read().substr(from);

    // A pause longer than parts wait: the rest of the message goes, the next
    // message follows what went out before the pause, and the history has it whole.
    const std::wstring b = std::wstring(100, L'd') + std::wstring(100, L'e') + std::wstring(50, L'f');
    from = game.log.Read().size();
    TypeAndEnter(game, drive::kSayKey, b);
    before = pauseAfterFirstPart(from);
    ASSERT_LT(before, 3u) << "the parts were out before play paused";
    // Well past the 10 s the parts wait, counted from when the next became due.
    LetTimePass(::GetTickCount(), 13000);
    EXPECT_EQ(ChatSince(game, from).said.size(), before);
    resume();
    TypeAndEnter(game, drive::kSayKey, L"after");
    ASSERT_TRUE(WaitForChat(game, from, before + 1)) << game.log.Read().substr(from);
    ASSERT_TRUE(SyncWithGame(game));
    lines = ChatSince(game, from);
    ASSERT_EQ(lines.said.size(), before + 1) << game.log.Read().substr(from);
    EXPECT_EQ(lines.said.back(), "after");
    lines.said.pop_back();
    EXPECT_EQ(Joined(lines.said), drive::WideToUtf8(b).substr(0, 100 * before));
    EXPECT_EQ(drive::ReadHistory().entries,
              (std::vector<std::string>{drive::WideToUtf8(a), drive::WideToUtf8(b), "after"}));
}

// A command file that cannot be written: the error box says why, and the chat
// box stays open with the text; once the cause is gone, Enter says it.
enum class WriteFault { missingFolder, heldOpen, folderInItsPlace };

class FailedWriteTest : public PartsTest, public testing::WithParamInterface<WriteFault> {};

TEST_P(FailedWriteTest, KeepsTheTextAndASecondEnterSaysIt) {
    const WriteFault fault = GetParam();
    Game& game = LaunchGame(L"HL.exe", L"", /*withModFolders=*/fault != WriteFault::missingFolder);
    ASSERT_TRUE(game.window);
    const std::wstring cfg = CfgPath(L"cstrike");
    HANDLE held = INVALID_HANDLE_VALUE;
    std::wstring expected;
    switch (fault) {
    case WriteFault::missingFolder:
        expected = cfg + L" contains an invalid path.";
        break;
    case WriteFault::heldOpen:
        ASSERT_TRUE(drive::WriteFileBytes(cfg, "old"));
        held = ::CreateFileW(cfg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        expected = L"A sharing violation occurred while accessing " + cfg + L".";
        break;
    case WriteFault::folderInItsPlace:
        ASSERT_TRUE(::CreateDirectoryW(cfg.c_str(), nullptr));
        expected = L"Access to " + cfg + L" was denied.";
        break;
    }
    const size_t from = game.log.Read().size();
    const std::wstring text = L"\u4f60\u597d kept";
    ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TypeText(text);
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, text));
    drive::TapKey(VK_RETURN);
    drive::MessageBoxWindow error;
    ASSERT_TRUE(drive::WaitForMessageBox(game.process.Id(), error)) << game.log.Read();
    EXPECT_EQ(error.caption, L"Parlix");
    EXPECT_EQ(error.text, expected);
    ::PostMessageW(error.window, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(drive::WaitForFocus(box.edit)) << "the box takes the keys again";
    EXPECT_EQ(drive::FindChatBox(game.window).dialog, box.dialog);
    EXPECT_EQ(drive::WindowText(box.edit), text);

    switch (fault) {
    case WriteFault::missingFolder:
        ASSERT_TRUE(::CreateDirectoryW((Folder() + L"cstrike").c_str(), nullptr));
        break;
    case WriteFault::heldOpen:
        ::CloseHandle(held);
        break;
    case WriteFault::folderInItsPlace:
        ASSERT_TRUE(::RemoveDirectoryW(cfg.c_str()));
        break;
    }
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(drive::WaitForNoChatBox(game.window));
    ASSERT_TRUE(SyncWithGame(game));
    EXPECT_EQ(ReadCfg(L"cstrike"), "say \"" + drive::WideToUtf8(text) + "\"");
    // The game read its bind at start, from a folder that was missing then: it
    // says what the others say only where it had the bind.
    if (fault != WriteFault::missingFolder) {
        ASSERT_TRUE(WaitForChat(game, from, 1)) << game.log.Read().substr(from);
        EXPECT_EQ(ChatSince(game, from).said, std::vector<std::string>{drive::WideToUtf8(text)});
    }
    // The failed Enter pressed no key and recorded nothing: one press, one entry.
    EXPECT_EQ(game.log.Count("keydown 0x7b"), 1u) << game.log.Read();
    EXPECT_EQ(drive::ReadHistory().entries, std::vector<std::string>{drive::WideToUtf8(text)});
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedWriteTest,
                         testing::Values(WriteFault::missingFolder, WriteFault::heldOpen, WriteFault::folderInItsPlace),
                         [](const testing::TestParamInfo<WriteFault>& info) {
                             switch (info.param) {
                             case WriteFault::missingFolder: return std::string("MissingFolder");
                             case WriteFault::heldOpen: return std::string("HeldOpen");
                             default: return std::string("FolderInItsPlace");
                             }
                         });

}  // namespace
}  // namespace e2e
