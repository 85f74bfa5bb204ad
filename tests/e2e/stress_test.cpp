// Long runs through a game process with the hook installed: ten thousand keys that
// are no hot keys all reach the game, in order; a hundred open-type-send cycles each
// have their command executed once, in order; and the game holds no more handles,
// GDI or USER objects afterwards than before. The figures are printed for the README.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "e2e_fixture_win32.h"

namespace e2e {
namespace {

constexpr int kKeyCount = 10000;
constexpr int kKeysPerBatch = 50;  // each pressed and released in one SendInput call
constexpr int kCycles = 100;
// Longer than the stand-in's and the test host's own deadlines, which end them after
// a minute or two: these runs take longer.
const wchar_t kLongRun[] = L"--timeout 600";
// Letters and digits without the hot keys Y, U and P, and without Q, which the tests
// press to catch up with the game.
const char kPlainKeys[] = "ABCDEFGHIJKLMNORSTVWXZ0123456789";

bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// One row of the system's handle list (the system information class 16), as ntdll
// fills it on both bitnesses.
struct SystemHandleEntry {
    ULONG processId;
    UCHAR objectType;
    UCHAR flags;
    USHORT handle;
    void* object;
    ACCESS_MASK access;
};
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// Wine answers GetProcessHandleCount with 0 for every process; its list of all the
// system's handles names each handle's process, which gives the exact count. 0 when
// the list cannot be read.
DWORD HandlesFromSystemList(DWORD processId) {
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    ULONG length = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &length)) ==
               kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    ULONG count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    // The rows start at pointer alignment after the count.
    const auto* rows = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(void*));
    DWORD handles = 0;
    for (ULONG i = 0; i < count; ++i)
        if (rows[i].processId == processId) ++handles;
    return handles;
}

struct Resources {
    DWORD handles = 0;
    bool fromSystemList = false;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};

Resources Measure(DWORD processId) {
    Resources counts;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return counts;
    ::GetProcessHandleCount(process, &counts.handles);
    counts.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
    counts.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
    ::CloseHandle(process);
    if (counts.handles == 0 && UnderWine()) {
        counts.handles = HandlesFromSystemList(processId);
        counts.fromSystemList = true;
    }
    return counts;
}

// A game process with a window always owns USER objects, so zero means the
// system does not count them.
bool GuiCountsAvailable(const Resources& counts) { return counts.gdiObjects != 0 || counts.userObjects != 0; }

void PrintResources(const char* what, const Resources& before, const Resources& after) {
    std::printf("[ figures  ] %s: handles %lu -> %lu%s", what, before.handles, after.handles,
                before.fromSystemList ? " (Wine's system handle list; its GetProcessHandleCount gives 0)" : "");
    if (GuiCountsAvailable(before) || GuiCountsAvailable(after))
        std::printf(", GDI objects %lu -> %lu, USER objects %lu -> %lu\n", before.gdiObjects, after.gdiObjects,
                    before.userObjects, after.userObjects);
    else
        std::printf(", GDI/USER objects: %s\n",
                    UnderWine() ? "not available under Wine (GetGuiResources gives 0)" : "not available (0)");
}

void ExpectNoLeak(const Resources& before, const Resources& after) {
    EXPECT_NE(before.handles, 0u) << "the game's handle count could not be read";
    // Exact: Wine's count of the game's handles showed no noise between runs.
    EXPECT_LE(after.handles, before.handles) << "the game holds more handles";
    if (!GuiCountsAvailable(before)) return;
    EXPECT_EQ(after.gdiObjects, before.gdiObjects) << "the game holds more GDI objects";
    EXPECT_EQ(after.userObjects, before.userObjects) << "the game holds more USER objects";
}

// Reads the lines a child appends to its log from where it last stopped, so that
// polling a long log costs only what is new.
class LogTail {
public:
    explicit LogTail(const std::wstring& path) : m_path(path) {}

    // The whole lines that arrived since the last call.
    std::vector<std::string> NewLines() {
        std::vector<std::string> lines;
        HANDLE file = ::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return lines;
        LARGE_INTEGER offset;
        offset.QuadPart = m_offset;
        ::SetFilePointerEx(file, offset, nullptr, FILE_BEGIN);
        char buffer[65536];
        DWORD read = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            m_offset += read;
            m_partial.append(buffer, read);
        }
        ::CloseHandle(file);
        size_t start = 0;
        for (size_t end; (end = m_partial.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(m_partial.substr(start, end - start));
        m_partial.erase(0, start);
        return lines;
    }

private:
    std::wstring m_path;
    long long m_offset = 0;
    std::string m_partial;
};

std::string KeyDownLine(char key) {
    char line[32];
    std::snprintf(line, sizeof line, "keydown 0x%x", static_cast<unsigned>(static_cast<unsigned char>(key)));
    return line;
}

// A fixed pseudo-random run of plain keys: every key follows every other, repeats included.
std::vector<char> PlainKeySequence(int count) {
    std::vector<char> keys;
    unsigned state = 12345;
    for (int i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        keys.push_back(kPlainKeys[(state >> 16) % (sizeof kPlainKeys - 1)]);
    }
    return keys;
}

bool SendPressAndRelease(const std::vector<char>& keys, size_t first, size_t count) {
    std::vector<INPUT> inputs;
    for (size_t i = first; i < first + count; ++i) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(keys[i]);
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(input.ki.wVk, MAPVK_VK_TO_VSC));
        inputs.push_back(input);
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

class StressTest : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        if (HasFatalFailure()) return;
        // Our own host with a deadline that outlasts the run; the fixture's ends sooner.
        m_hostLog = std::make_unique<drive::LogFile>(Folder() + L"stress-host.log");
        ASSERT_TRUE(m_host.Start(drive::ProgramFolder() + L"ParlixTestHost.exe",
                                 L"--log \"" + m_hostLog->Path() + L"\" " + kLongRun + L" 0x59 0x55 0x50 0"));
        ASSERT_TRUE(m_hostLog->WaitForPrefix("installed ")) << m_hostLog->Read();
    }
    void TearDown() override {
        m_host.Stop();
        E2eTest::TearDown();
    }

    // Starts the game and waits until the hook has seen a key in it, so that the
    // module is mapped there before anything is counted.
    Game* StartGame() {
        Game& game = LaunchGame(L"HL.exe", kLongRun);
        if (!game.window) {
            ADD_FAILURE() << "the game did not start:\n" << game.log.Read();
            return nullptr;
        }
        if (!SyncWithGame(game)) {
            ADD_FAILURE() << "the game took no key:\n" << game.log.Read();
            return nullptr;
        }
        return &game;
    }

    drive::Process m_host;
    std::unique_ptr<drive::LogFile> m_hostLog;
};

TEST_F(StressTest, TenThousandPlainKeysReachTheGameInOrder) {
    Game* game = StartGame();
    ASSERT_TRUE(game);
    LogTail tail(game->log.Path());
    tail.NewLines();  // what the start wrote
    const Resources before = Measure(game->process.Id());

    const std::vector<char> keys = PlainKeySequence(kKeyCount);
    std::vector<std::string> received;
    const ULONGLONG start = ::GetTickCount64();
    for (size_t sent = 0; sent < keys.size();) {
        const size_t count = std::min<size_t>(kKeysPerBatch, keys.size() - sent);
        ASSERT_TRUE(SendPressAndRelease(keys, sent, count)) << "SendInput took fewer events than given";
        sent += count;
        // Waits for the batch, so that the system's input queue never holds more than one.
        ULONGLONG lastProgress = ::GetTickCount64();
        while (received.size() < sent) {
            size_t had = received.size();
            for (std::string& line : tail.NewLines())
                if (line.rfind("keydown ", 0) == 0) received.push_back(std::move(line));
            if (received.size() != had) lastProgress = ::GetTickCount64();
            else if (::GetTickCount64() - lastProgress > drive::kDeadlineMs) break;
            else ::Sleep(2);
        }
        ASSERT_GE(received.size(), sent) << "keys were lost: " << sent << " sent, " << received.size() << " arrived";
    }
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    ASSERT_TRUE(SyncWithGame(*game));
    for (std::string& line : tail.NewLines())
        if (line.rfind("keydown ", 0) == 0 && line != KeyDownLine('Q')) received.push_back(std::move(line));

    ASSERT_EQ(received.size(), keys.size()) << "more keys arrived than were sent";
    size_t mismatches = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (received[i] == KeyDownLine(keys[i])) continue;
        if (++mismatches <= 5) ADD_FAILURE() << "key " << i << ": sent " << KeyDownLine(keys[i]) << ", got " << received[i];
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_FALSE(drive::FindChatBox(game->window).dialog) << "a plain key opened the chat box";

    const Resources after = Measure(game->process.Id());
    std::printf("[ figures  ] %d plain keys (press and release) in %llu ms: %.0f keys/s\n", kKeyCount,
                static_cast<unsigned long long>(elapsed), elapsed ? kKeyCount * 1000.0 / elapsed : 0.0);
    PrintResources("game process across the keys", before, after);
    ExpectNoLeak(before, after);
}

// The leak checks are only as good as the count: it must see a single new handle.
TEST(StressMeasure, TheHandleCountSeesOneMoreHandle) {
    const Resources before = Measure(::GetCurrentProcessId());
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ASSERT_TRUE(event);
    const Resources during = Measure(::GetCurrentProcessId());
    ::CloseHandle(event);
    const Resources after = Measure(::GetCurrentProcessId());
    EXPECT_NE(before.handles, 0u);
    EXPECT_EQ(during.handles, before.handles + 1);
    EXPECT_EQ(after.handles, before.handles);
}

struct Cycle {
    WORD hotKey;
    const char* command;
};
const Cycle kModes[] = {
    {drive::kSayKey, "say"},
    {drive::kSayTeamKey, "say_team"},
    {drive::kRconKey, "rcon say"},
};

TEST_F(StressTest, AHundredOpenTypeSendCyclesRunEachCommandOnceInOrder) {
    Game* game = StartGame();
    ASSERT_TRUE(game);
    const Resources cold = Measure(game->process.Id());

    auto runCycle = [&](int number, std::vector<std::string>& expected) {
        const Cycle& mode = kModes[number % 3];
        const std::string text = "cycle " + std::to_string(number);
        const std::string line = "exec " + std::string(mode.command) + " \"" + text + "\"";
        drive::ChatBox box = OpenBox(*game, mode.hotKey);
        ASSERT_TRUE(box.dialog) << "cycle " << number << ": no chat box\n" << game->log.Read();
        drive::TypeText(drive::Utf8ToWide(text));
        ASSERT_TRUE(drive::WaitForWindowText(box.edit, drive::Utf8ToWide(text)))
            << "cycle " << number << ": the edit shows " << drive::WideToUtf8(drive::WindowText(box.edit));
        drive::TapKey(VK_RETURN);
        expected.push_back(line);
        ASSERT_TRUE(game->log.WaitForLine(line)) << "cycle " << number << ": not executed\n" << game->log.Read();
        ASSERT_TRUE(drive::WaitForNoChatBox(game->window)) << "cycle " << number << ": the box stayed";
    };

    // The first opening creates what every later one reuses; count from after it.
    std::vector<std::string> expected;
    runCycle(0, expected);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(SyncWithGame(*game));
    const Resources before = Measure(game->process.Id());

    const ULONGLONG start = ::GetTickCount64();
    for (int number = 1; number <= kCycles; ++number) {
        runCycle(number, expected);
        ASSERT_FALSE(HasFatalFailure());
    }
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    ASSERT_TRUE(SyncWithGame(*game));

    std::vector<std::string> executed;
    for (const std::string& line : LogTail(game->log.Path()).NewLines())
        if (line.rfind("exec", 0) == 0) executed.push_back(line);
    EXPECT_EQ(executed, expected) << "every command exactly once, in the order sent";

    const Resources after = Measure(game->process.Id());
    std::printf("[ figures  ] %d open-type-send cycles in %llu ms: %.1f cycles/s\n", kCycles,
                static_cast<unsigned long long>(elapsed), elapsed ? kCycles * 1000.0 / elapsed : 0.0);
    std::printf("[ figures  ] game process before the first opening: handles %lu\n", cold.handles);
    PrintResources("game process across the cycles (after the first)", before, after);
    ExpectNoLeak(before, after);
}

}  // namespace
}  // namespace e2e
