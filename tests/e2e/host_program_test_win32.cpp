// ParlixHost.exe as a player runs it: its window writes the settings the module
// reads, refuses key choices the module would misread, sets the game up, runs once
// per session, and takes the hook away when it ends.
#include "e2e_fixture_win32.h"

#include <aclapi.h>

#include <cstring>

#include "framework/unique_handle_win32.h"

#include "host/host_resource.h"
#include "host/host_settings.h"
#include "host/host_texts.h"
#include "parlix_version.h"

namespace e2e {
namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\Kelvandor\\Parlix";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct RegistryValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::wstring text;
    DWORD number = 0;
};

RegistryValue ReadValue(const wchar_t* keyPath, const wchar_t* name) {
    RegistryValue value;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    BYTE data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (::RegQueryValueExW(key, name, nullptr, &value.type, data, &size) == ERROR_SUCCESS) {
        value.exists = true;
        if (value.type == REG_DWORD && size == sizeof(DWORD)) std::memcpy(&value.number, data, sizeof(DWORD));
        if (value.type == REG_SZ) value.text = reinterpret_cast<const wchar_t*>(data);
    }
    ::RegCloseKey(key);
    return value;
}

void DeleteRunValue() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    ::RegDeleteValueW(key, L"Parlix");
    ::RegCloseKey(key);
}

std::wstring HostExe() { return drive::ProgramFolder() + L"ParlixHost.exe"; }

// The host's window by its class, hidden or not (a plain lambda has the wrong
// calling convention for EnumWindows in a 32-bit build).
BOOL CALLBACK FindHostWindow(HWND candidate, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(candidate, name, 64);
    if (std::wstring(name) != L"ParlixHostWindow") return TRUE;
    *reinterpret_cast<HWND*>(found) = candidate;
    return FALSE;
}

void PutRunValue(const std::wstring& command) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), 0);
    ::RegSetValueExW(key, L"Parlix", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

// The host speaks the user's interface language; the tests expect its own texts in it.
HostLanguage UserLanguage() { return HostLanguageFor(::GetUserDefaultUILanguage()); }
std::wstring Expected(HostText id, std::initializer_list<std::string_view> arguments = {}) {
    return drive::Utf8ToWide(Text(id, UserLanguage(), arguments));
}
// The part of a text before its first argument.
std::wstring ExpectedStart(HostText id) {
    const std::string_view text = Text(id, UserLanguage());
    return drive::Utf8ToWide(std::string(text.substr(0, text.find('{'))));
}
std::wstring Refusal(const std::string& problem) { return Expected(HostText::NothingSaved, {problem}); }
std::wstring KeyRefusal(std::string say, std::string team, std::string rcon, std::string send) {
    const std::string keys[4] = {say, team, rcon, send};
    return Refusal(CheckKeyChoice(keys, UserLanguage()));
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

class HostProgram : public E2eTest {
protected:
    void SetUp() override {
        E2eTest::SetUp();
        DeleteRunValue();
        m_log = drive::LogFile(Folder() + L"parlixhost.log");
    }
    void TearDown() override {
        m_second.Stop();
        // Closed as a player closes it, so that it removes its hook; taking the
        // window down under Wine can take seconds, longer than Stop waits.
        if (m_window && m_host.Running()) {
            ::PostMessageW(m_window, WM_CLOSE, 0, 0);
            DWORD exitCode = 0;
            m_host.WaitForExit(&exitCode, 15000);
        }
        m_host.Stop();
        DeleteRunValue();
        E2eTest::TearDown();
    }

    // Starts the host and gives its settings window, found by the host's own class.
    HWND StartParlixHost(const std::wstring& arguments = L"", const std::wstring& exe = HostExe()) {
        if (!m_host.Start(exe, L"--log \"" + m_log.Path() + L"\" " + arguments)) return nullptr;
        if (!m_log.WaitForPrefix("shown ")) return nullptr;
        HWND window = nullptr;
        ::EnumWindows(FindHostWindow, reinterpret_cast<LPARAM>(&window));
        m_window = window;
        return window;
    }

    static void Choose(HWND window, int comboId, const wchar_t* text) {
        ::SendDlgItemMessageW(window, comboId, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(text));
    }
    static void Tick(HWND window, int id, bool on) {
        ::SendDlgItemMessageW(window, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    static void Type(HWND window, int id, const std::wstring& text) {
        ::SendDlgItemMessageW(window, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // Posted: a refusal shows a modal message box, which must not block the test.
    static void Click(HWND window, int id) {
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(window, id)));
    }
    void ChooseKeys(HWND window, const wchar_t* say, const wchar_t* team, const wchar_t* rcon, const wchar_t* send) {
        Choose(window, IDC_HOST_SAY_KEY, say);
        Choose(window, IDC_HOST_TEAM_KEY, team);
        Choose(window, IDC_HOST_RCON_KEY, rcon);
        Choose(window, IDC_HOST_SEND_KEY, send);
    }
    // Saves and waits for the outcome; a message box is read and dismissed.
    std::wstring SaveAndGetRefusal(HWND window) {
        size_t savedBefore = m_log.Count("saved");
        Click(window, IDOK);
        drive::MessageBoxWindow box;
        if (drive::WaitForMessageBox(m_host.Id(), box, 3000)) {
            ::PostMessageW(box.window, WM_COMMAND, IDOK, 0);
            // Gone before the next save, which would otherwise read this box again.
            const DWORD start = ::GetTickCount();
            while (::IsWindow(box.window) && ::GetTickCount() - start < drive::kDeadlineMs) ::Sleep(20);
            EXPECT_FALSE(::IsWindow(box.window)) << "the refusal box did not close";
            return box.text;
        }
        EXPECT_EQ(m_log.Count("saved"), savedBefore + 1) << m_log.Read();
        return L"";
    }

    drive::LogFile m_log{L""};
    drive::Process m_host;
    drive::Process m_second;
    HWND m_window = nullptr;
};

TEST_F(HostProgram, WindowWritesTheValuesTheModuleReadsAndNewHotKeysWorkAtOnce) {
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    ASSERT_TRUE(m_log.Contains("hotkeys 0x59 0x55 0x50 0x0")) << m_log.Read();
    ASSERT_TRUE(m_log.Contains("installed"));

    const std::wstring exe = Folder() + L"CStrike.exe";
    Type(window, IDC_HOST_EXE, exe);
    ChooseKeys(window, L"F1", L"F2", L"Page Up", L"F11");
    Tick(window, IDC_HOST_AUTO_IME, true);
    Tick(window, IDC_HOST_IME_MODE, false);
    Tick(window, IDC_HOST_REMEMBER, false);
    Type(window, IDC_HOST_MAX_HISTORY, L"7");
    Tick(window, IDC_HOST_TRAY, false);
    Tick(window, IDC_HOST_START_MIN, true);
    Tick(window, IDC_HOST_AUTORUN, true);
    ASSERT_EQ(SaveAndGetRefusal(window), L"");

    const struct {
        const wchar_t* name;
        const wchar_t* text;
    } strings[] = {{L"Executable File", exe.c_str()}, {L"Say Key", L"F1"},   {L"Say Team Key", L"F2"},
                   {L"Rcon Say Key", L"Page Up"},     {L"Send Key", L"F11"}, {L"Selected IME", L""}};
    for (const auto& expected : strings) {
        RegistryValue value = ReadValue(kSettingsKey, expected.name);
        EXPECT_TRUE(value.exists) << drive::WideToUtf8(expected.name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << drive::WideToUtf8(expected.name);
        EXPECT_EQ(value.text, expected.text) << drive::WideToUtf8(expected.name);
    }
    const struct {
        const wchar_t* name;
        DWORD number;
    } numbers[] = {{L"Auto IME", 1},         {L"IME Mode in Chat Box", 0}, {L"Minimize to Tray", 0},
                   {L"Start Minimized", 1},  {L"Remember History", 0},     {L"Max History Items", 7}};
    for (const auto& expected : numbers) {
        RegistryValue value = ReadValue(kSettingsKey, expected.name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << drive::WideToUtf8(expected.name);
        EXPECT_EQ(value.number, expected.number) << drive::WideToUtf8(expected.name);
    }
    // Quoted: the path may hold blanks ("Program Files (x86)").
    RegistryValue run = ReadValue(kRunKey, L"Parlix");
    EXPECT_EQ(run.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(::lstrcmpiW(run.text.c_str(), (L"\"" + HostExe() + L"\"").c_str()), 0) << drive::WideToUtf8(run.text);
    EXPECT_TRUE(m_log.Contains("hotkeys 0x70 0x71 0x21 0x0")) << m_log.Read();

    // The module has the new keys at once: F1 opens the box, Y reaches the game.
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    drive::ChatBox box = OpenBox(game, VK_F1);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    EXPECT_EQ(drive::WindowText(box.prompt), kPromptSay);
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));
    drive::TapKey('Y');
    EXPECT_TRUE(game.log.WaitForLine("keydown 0x59")) << game.log.Read();
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog);

    // Switched off, the Run value is gone, not emptied.
    Tick(window, IDC_HOST_AUTORUN, false);
    ASSERT_EQ(SaveAndGetRefusal(window), L"");
    EXPECT_FALSE(ReadValue(kRunKey, L"Parlix").exists);
}

// The folder's name holds characters code page 936 has no form for (o with double
// acute, a Korean syllable): the path is saved as chosen, no look-alike of them,
// and the chat box writes the command file there.
TEST_F(HostProgram, GamePathOfAnyNameIsSavedAsChosenAndTheBoxWritesThere) {
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    const std::wstring folder = Folder() + L"Sz\u0151l\u0151 \ud55c\\";
    const std::wstring exe = folder + L"HL.exe";
    Type(window, IDC_HOST_EXE, exe);
    ASSERT_EQ(SaveAndGetRefusal(window), L"");
    EXPECT_EQ(ReadValue(kSettingsKey, L"Executable File").text, exe);

    Game& game = LaunchGameIn(folder, L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    drive::ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TypeText(L"gg");
    ASSERT_TRUE(drive::WaitForWindowText(box.edit, L"gg"));
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("said gg")) << game.log.Read();
    std::string bytes;
    EXPECT_TRUE(drive::ReadFileBytes(folder + L"cstrike\\parlix.cfg", bytes));
    EXPECT_EQ(bytes, "say \"gg\"");
}

TEST_F(HostProgram, KeyChoicesTheModuleWouldMisreadAreRefusedAndNothingIsWritten) {
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    Tick(window, IDC_HOST_AUTORUN, true);

    ChooseKeys(window, L"F12", L"U", L"P", L"F12");
    EXPECT_EQ(SaveAndGetRefusal(window), KeyRefusal("F12", "U", "P", "F12"));

    ChooseKeys(window, L"Y", L"P", L"P", L"F12");
    EXPECT_EQ(SaveAndGetRefusal(window), KeyRefusal("Y", "P", "P", "F12"));

    ChooseKeys(window, L"Y", L"U", L"P", L"F12");
    Type(window, IDC_HOST_MAX_HISTORY, L"33");
    EXPECT_EQ(SaveAndGetRefusal(window), Refusal(std::string(Text(HostText::MaxHistoryRange, UserLanguage()))));

    for (const wchar_t* name : {L"Say Key", L"Say Team Key", L"Rcon Say Key", L"Send Key", L"Max History Items",
                                L"Auto IME", L"Minimize to Tray"})
        EXPECT_FALSE(ReadValue(kSettingsKey, name).exists) << drive::WideToUtf8(name);
    EXPECT_FALSE(ReadValue(kRunKey, L"Parlix").exists);
    EXPECT_EQ(m_log.Count("hotkeys 0x59 0x55 0x50 0x0"), 1u) << m_log.Read();
    EXPECT_EQ(m_log.Count("saved"), 0u);
}

TEST_F(HostProgram, GameSetUpIsIdempotentKeepsUserConfigAndTheGameAnswersTheNewSendKey) {
    drive::StageGame(Folder(), L"HL.exe");
    const std::wstring cstrikeConfig = Folder() + L"cstrike\\userconfig.cfg";
    const std::wstring czeroConfig = Folder() + L"czero\\userconfig.cfg";
    const std::string before = "// mine\r\nbind \"F10\" \"exec parlix.cfg\"\r\nname \"\xC4\xE3\"\n\tsensitivity 2";
    {
        HANDLE file = ::CreateFileW(cstrikeConfig.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, before.data(), static_cast<DWORD>(before.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    drive::SetSetting(L"Send Key", L"F11");

    const std::string expectedCstrike =
        "// mine\r\nbind \"F11\" \"exec parlix.cfg\"\r\nname \"\xC4\xE3\"\n\tsensitivity 2";
    // Made here, so marked as the set-up's own.
    const std::string expectedCzero =
        "// Made by Parlix for the line below: removing its game set-up deletes this file.\r\n"
        "bind \"F11\" \"exec parlix.cfg\"\r\n";
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        drive::Process setup;
        ASSERT_TRUE(setup.Start(HostExe(), L"--setup-game --log \"" + m_log.Path() + L"\""));
        DWORD exitCode = 99;
        ASSERT_TRUE(setup.WaitForExit(&exitCode));
        EXPECT_EQ(exitCode, 0u) << m_log.Read();
        std::string cstrike, czero;
        ASSERT_TRUE(drive::ReadFileBytes(cstrikeConfig, cstrike));
        ASSERT_TRUE(drive::ReadFileBytes(czeroConfig, czero));
        EXPECT_EQ(cstrike, expectedCstrike);
        EXPECT_EQ(czero, expectedCzero);
    }
    EXPECT_FALSE(drive::FileExists(cstrikeConfig + L".parlix-backup"));

    // The module presses the saved send key and the game, bound to it, runs the file.
    ASSERT_TRUE(StartParlixHost()) << m_log.Read();
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.log.WaitForLine("sendkey F11")) << game.log.Read();
    drive::ChatBox box = OpenBox(game, drive::kSayKey);
    ASSERT_TRUE(box.dialog) << game.log.Read();
    drive::TypeText(L"gg");
    drive::TapKey(VK_RETURN);
    EXPECT_TRUE(game.log.WaitForLine("exec say \"gg\"")) << game.log.Read();
    EXPECT_TRUE(game.log.Contains("keydown 0x7a"));
    EXPECT_FALSE(game.log.Contains("keydown 0x7b"));
}

TEST_F(HostProgram, RemovingTheGameSetUpGivesBackTheFilesItFound) {
    drive::StageGame(Folder(), L"HL.exe");
    const std::wstring cstrikeConfig = Folder() + L"cstrike\\userconfig.cfg";
    const std::wstring czeroConfig = Folder() + L"czero\\userconfig.cfg";
    // No line end after the last line, a BOM, bytes of another code page.
    const std::string before = "\xEF\xBB\xBF// mine\r\nname \"\xC4\xE3\"\n\tsensitivity 2";
    ASSERT_TRUE(WriteBytes(cstrikeConfig, before));
    ASSERT_TRUE(WriteBytes(CfgPath(L"cstrike"), "say \"last\""));
    drive::SetSetting(L"Send Key", L"F11");
    auto run = [this](const wchar_t* action) {
        drive::Process process;
        EXPECT_TRUE(process.Start(HostExe(), std::wstring(action) + L" --log \"" + m_log.Path() + L"\""));
        DWORD exitCode = 99;
        EXPECT_TRUE(process.WaitForExit(&exitCode));
        return exitCode;
    };
    ASSERT_EQ(run(L"--setup-game"), 0u) << m_log.Read();
    std::string setUp;
    ASSERT_TRUE(drive::ReadFileBytes(cstrikeConfig, setUp));
    ASSERT_NE(setUp, before);
    ASSERT_TRUE(drive::FileExists(czeroConfig));

    for (int again = 0; again < 2; ++again) {
        SCOPED_TRACE(again);
        EXPECT_EQ(run(L"--remove-game-setup"), 0u) << m_log.Read();
        std::string after;
        ASSERT_TRUE(drive::ReadFileBytes(cstrikeConfig, after));
        EXPECT_EQ(after, before);
        EXPECT_FALSE(drive::FileExists(czeroConfig)) << "made by the set-up, so taken away";
        EXPECT_FALSE(drive::FileExists(CfgPath(L"cstrike")));
    }
    EXPECT_FALSE(drive::FileExists(cstrikeConfig + L".parlix-backup"));
}

// The set-up changes the player's file in place: the read-only and hidden marks,
// a second name of the file (a hard link) and an empty file that was there before
// all survive the set-up and its removal.
TEST_F(HostProgram, GameSetUpKeepsTheFileItselfAndRemovalKeepsAFileThatWasThereEmpty) {
    drive::StageGame(Folder(), L"HL.exe");
    const std::wstring cstrikeConfig = Folder() + L"cstrike\\userconfig.cfg";
    const std::wstring czeroConfig = Folder() + L"czero\\userconfig.cfg";
    const std::wstring secondName = Folder() + L"cstrike\\mine.cfg";
    const std::string before = "name \"x\"\r\nsensitivity 2";
    ASSERT_TRUE(WriteBytes(cstrikeConfig, before));
    ASSERT_TRUE(WriteBytes(czeroConfig, ""));
    ASSERT_TRUE(::CreateHardLinkW(secondName.c_str(), cstrikeConfig.c_str(), nullptr)) << ::GetLastError();
    constexpr DWORD kMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    ASSERT_TRUE(::SetFileAttributesW(cstrikeConfig.c_str(), kMarks));
    ASSERT_EQ(::GetFileAttributesW(cstrikeConfig.c_str()) & kMarks, kMarks) << "this file system keeps no marks";
    drive::SetSetting(L"Send Key", L"F11");
    auto run = [this](const wchar_t* action) {
        drive::Process process;
        EXPECT_TRUE(process.Start(HostExe(), std::wstring(action) + L" --log \"" + m_log.Path() + L"\""));
        DWORD exitCode = 99;
        EXPECT_TRUE(process.WaitForExit(&exitCode));
        return exitCode;
    };
    auto bytes = [](const std::wstring& path) {
        std::string content = "(missing)";
        drive::ReadFileBytes(path, content);
        return content;
    };

    // While the game reads it, the file cannot be written: it stays as it was.
    {
        UniqueFile reader = AdoptFile(::CreateFileW(cstrikeConfig.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_EQ(run(L"--setup-game"), 1u) << m_log.Read();
    }
    EXPECT_EQ(bytes(cstrikeConfig), before);
    EXPECT_EQ(::GetFileAttributesW(cstrikeConfig.c_str()) & kMarks, kMarks);
    EXPECT_FALSE(drive::FileExists(cstrikeConfig + L".parlix-backup"));

    ASSERT_EQ(run(L"--setup-game"), 0u) << m_log.Read();
    const std::string bind = "bind \"F11\" \"exec parlix.cfg\"";
    EXPECT_EQ(bytes(cstrikeConfig), before + "\r\n" + bind);
    EXPECT_EQ(bytes(secondName), bytes(cstrikeConfig)) << "the file was replaced, not written";
    EXPECT_EQ(::GetFileAttributesW(cstrikeConfig.c_str()) & kMarks, kMarks);
    EXPECT_EQ(bytes(czeroConfig), bind + "\r\n");

    ASSERT_EQ(run(L"--remove-game-setup"), 0u) << m_log.Read();
    EXPECT_EQ(bytes(cstrikeConfig), before);
    EXPECT_EQ(bytes(secondName), before);
    EXPECT_EQ(::GetFileAttributesW(cstrikeConfig.c_str()) & kMarks, kMarks);
    EXPECT_EQ(bytes(czeroConfig), "") << "there before the set-up, so it stays";
    for (const std::wstring& config : {cstrikeConfig, czeroConfig})
        EXPECT_FALSE(drive::FileExists(config + L".parlix-backup"));
    ::SetFileAttributesW(cstrikeConfig.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A copy that an unfinished change left beside the file holds its last whole
// content: the next set-up puts it back before it changes anything, and never
// writes over it.
TEST_F(HostProgram, GameSetUpPutsBackTheCopyAnUnfinishedChangeLeft) {
    drive::StageGame(Folder(), L"HL.exe");
    const std::wstring config = Folder() + L"cstrike\\userconfig.cfg";
    const std::wstring backup = config + L".parlix-backup";
    const std::string whole = "name \"x\"\r\nsensitivity 2";
    ASSERT_TRUE(WriteBytes(config, "name \"x\"\r\nsens"));  // cut short
    ASSERT_TRUE(WriteBytes(backup, whole));
    drive::SetSetting(L"Send Key", L"F11");
    drive::Process process;
    ASSERT_TRUE(process.Start(HostExe(), L"--setup-game --log \"" + m_log.Path() + L"\""));
    DWORD exitCode = 99;
    ASSERT_TRUE(process.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u) << m_log.Read();
    std::string content;
    ASSERT_TRUE(drive::ReadFileBytes(config, content));
    EXPECT_EQ(content, whole + "\r\nbind \"F11\" \"exec parlix.cfg\"");
    EXPECT_FALSE(drive::FileExists(backup));
    EXPECT_TRUE(m_log.WaitForPrefix("setup-backup-restored ")) << m_log.Read();
}

TEST_F(HostProgram, GameSetUpWithoutModFoldersFailsAndCreatesNothing) {
    drive::SetSetting(L"Executable File", Folder() + L"nowhere\\hl.exe");
    drive::Process setup;
    ASSERT_TRUE(setup.Start(HostExe(), L"--setup-game --log \"" + m_log.Path() + L"\""));
    DWORD exitCode = 99;
    ASSERT_TRUE(setup.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_TRUE(m_log.Contains("setup-game failed")) << m_log.Read();
    EXPECT_FALSE(drive::FileExists(Folder() + L"nowhere"));
}

TEST_F(HostProgram, SetUpGameWithAnEmptyPathSaysWhatToDoAndSavesNothing) {
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    const RegistryValue saved = ReadValue(kSettingsKey, L"Executable File");
    Type(window, IDC_HOST_EXE, L"  ");
    Click(window, IDC_HOST_SETUP_GAME);
    drive::MessageBoxWindow box;
    ASSERT_TRUE(drive::WaitForMessageBox(m_host.Id(), box)) << m_log.Read();
    EXPECT_EQ(box.text, Expected(HostText::SetUpEmptyPath));
    ::PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(m_log.Contains("saved"));
    EXPECT_EQ(ReadValue(kSettingsKey, L"Executable File").text, saved.text);
}

TEST_F(HostProgram, SpeaksTheUsersLanguageAndTheImeListGoesBackToNone) {
    drive::SetSetting(L"Selected IME", L"An IME not installed here");
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    EXPECT_EQ(drive::WindowText(window), Expected(HostText::Caption, {PARLIX_VERSION_TEXT}));
    EXPECT_EQ(drive::WindowText(::GetDlgItem(window, IDOK)), Expected(HostText::Save));
    EXPECT_EQ(drive::WindowText(::GetDlgItem(window, IDC_HOST_GAME_GROUP)), Expected(HostText::GameGroup));

    // The IME chosen earlier is selected; the first item, none, takes it back.
    HWND ime = ::GetDlgItem(window, IDC_HOST_IME);
    EXPECT_EQ(drive::WindowText(ime), L"An IME not installed here");
    wchar_t first[64] = {};
    ASSERT_NE(::SendMessageW(ime, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first)), CB_ERR);
    EXPECT_EQ(std::wstring(first), Expected(HostText::NoIme));
    ::SendMessageW(ime, CB_SETCURSEL, 0, 0);
    ASSERT_EQ(SaveAndGetRefusal(window), L"");
    RegistryValue selected = ReadValue(kSettingsKey, L"Selected IME");
    EXPECT_TRUE(selected.exists);
    EXPECT_EQ(selected.text, L"");
}

TEST_F(HostProgram, StartAtLogonIsReadFromTheRunValueQuotedOrNot) {
    for (const std::wstring& command : {L"\"" + HostExe() + L"\"", HostExe(), L"\"" + Folder() + L"gone.exe\""}) {
        SCOPED_TRACE(drive::WideToUtf8(command));
        PutRunValue(command);
        ::DeleteFileW(m_log.Path().c_str());  // the next start's "shown" line is the only one
        HWND window = StartParlixHost();
        ASSERT_TRUE(window) << m_log.Read();
        const bool exists = command.find(L"gone.exe") == std::wstring::npos;
        EXPECT_EQ(::SendDlgItemMessageW(window, IDC_HOST_AUTORUN, BM_GETCHECK, 0, 0),
                  exists ? BST_CHECKED : BST_UNCHECKED);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 99;
        ASSERT_TRUE(m_host.WaitForExit(&exitCode, 15000)) << m_log.Read();
        m_host.Stop();
        m_window = nullptr;
    }
}

TEST_F(HostProgram, ASecondStartInstallsNoHookAndBringsTheFirstWindowUp) {
    drive::SetSetting(L"Start Minimized", 1);
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    EXPECT_TRUE(!::IsWindowVisible(window) || ::IsIconic(window)) << m_log.Read();

    drive::LogFile secondLog(Folder() + L"second.log");
    ASSERT_TRUE(m_second.Start(HostExe(), L"--log \"" + secondLog.Path() + L"\""));
    DWORD exitCode = 99;
    ASSERT_TRUE(m_second.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(secondLog.Contains("second-instance brought-up")) << secondLog.Read();
    EXPECT_FALSE(secondLog.Contains("installed"));
    EXPECT_FALSE(secondLog.Contains("loaded"));

    ASSERT_TRUE(m_log.WaitForLine("brought up")) << m_log.Read();
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(::IsIconic(window));
    EXPECT_EQ(m_log.Count("installed"), 1u);
}

// A copy running with other rights (an elevated one) made the single-instance
// mutex, whose security then refuses a copy with the player's rights: that copy
// takes the refusal for "already running", installs no hook, and brings the
// running copy's window up.
TEST_F(HostProgram, ASecondStartRefusedTheMutexTakesTheFirstCopyForRunning) {
    drive::SetSetting(L"Start Minimized", 1);
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    {
        UniqueHandle<HANDLE, CloseKernelHandle> mutex(
            ::OpenMutexW(WRITE_DAC, FALSE, L"Local\\ParlixHost.SingleInstance"));
        ASSERT_TRUE(mutex) << ::GetLastError();
        // No entry at all: nobody may open it any more, as between integrity levels.
        ACL none = {};
        ASSERT_TRUE(::InitializeAcl(&none, sizeof none, ACL_REVISION));
        ASSERT_EQ(::SetSecurityInfo(mutex.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    &none, nullptr),
                  static_cast<DWORD>(ERROR_SUCCESS));
    }
    HANDLE refused = ::CreateMutexW(nullptr, FALSE, L"Local\\ParlixHost.SingleInstance");
    const DWORD refusal = ::GetLastError();
    if (refused) ::CloseHandle(refused);
    ASSERT_FALSE(refused) << "the mutex's security is not applied here";
    ASSERT_EQ(refusal, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    drive::LogFile secondLog(Folder() + L"second.log");
    ASSERT_TRUE(m_second.Start(HostExe(), L"--log \"" + secondLog.Path() + L"\""));
    DWORD exitCode = 99;
    ASSERT_TRUE(m_second.WaitForExit(&exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(secondLog.Contains("second-instance access-denied")) << secondLog.Read();
    EXPECT_TRUE(secondLog.Contains("second-instance brought-up")) << secondLog.Read();
    EXPECT_FALSE(secondLog.Contains("installed"));
    EXPECT_TRUE(m_log.WaitForLine("brought up")) << m_log.Read();
    EXPECT_EQ(m_log.Count("installed"), 1u);
}

// The host has the rights of the program that started it, this test's. With
// administrator rights its hook also reaches programs run as administrator, and
// the status line says so in place of the keys. (Wine gives every program
// administrator rights.)
TEST_F(HostProgram, TheStatusLineSaysWhenTheHostRunsWithAdministratorRights) {
    drive::SetSetting(L"Say Key", L"Y");
    drive::SetSetting(L"Say Team Key", L"U");
    drive::SetSetting(L"Rcon Say Key", L"P");
    drive::SetSetting(L"Send Key", L"F12");
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    HANDLE token = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const BOOL known = ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    ::CloseHandle(token);
    ASSERT_TRUE(known);
    const std::wstring status = drive::WindowText(::GetDlgItem(window, IDC_HOST_STATUS));
    if (elevation.TokenIsElevated) {
        EXPECT_EQ(status, Expected(HostText::StatusElevated));
        EXPECT_TRUE(m_log.Contains("elevated")) << m_log.Read();
    } else {
        EXPECT_EQ(status, Expected(HostText::StatusRunning, {"Y", "U", "P", "F12"}));
        EXPECT_FALSE(m_log.Contains("elevated")) << m_log.Read();
    }
}

TEST_F(HostProgram, AHookThatCouldNotBeInstalledIsShownEvenWhenStartingMinimized) {
    const std::wstring alone = Folder() + L"ParlixHost.exe";  // no Parlix.dll beside it
    ASSERT_TRUE(::CopyFileW(HostExe().c_str(), alone.c_str(), FALSE));
    HWND window = StartParlixHost(L"--minimized", alone);
    ASSERT_TRUE(window) << m_log.Read();
    drive::MessageBoxWindow box;
    ASSERT_TRUE(drive::WaitForMessageBox(m_host.Id(), box)) << m_log.Read();
    EXPECT_EQ(box.text.find(ExpectedStart(HostText::StatusNoHook)), 0u) << drive::WideToUtf8(box.text);
    EXPECT_NE(box.text.find(ExpectedStart(HostText::ModuleNotLoaded)), std::wstring::npos);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(m_log.Contains("installed"));
    ::PostMessageW(box.window, WM_COMMAND, IDOK, 0);
}

TEST_F(HostProgram, HotKeysStopOpeningTheBoxWhenTheHostExits) {
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    ASSERT_TRUE(OpenBox(game, drive::kSayKey).dialog) << game.log.Read();
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(drive::WaitForNoChatBox(game.window));

    // Closed as a player closes it; taking the window down under Wine can take seconds.
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(m_host.WaitForExit(&exitCode, 15000)) << m_log.Read();
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(m_log.Contains("uninstalled")) << m_log.Read();
    EXPECT_TRUE(m_log.Contains("exit"));
    ::SetForegroundWindow(game.window);
    ASSERT_TRUE(drive::WaitForForeground(game.window));
    drive::TapKey(drive::kSayKey);
    EXPECT_TRUE(game.log.WaitForLine("keydown 0x59")) << game.log.Read();
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog);
}

TEST_F(HostProgram, EndOfSessionTakesTheHookAway) {
    HWND window = StartParlixHost();
    ASSERT_TRUE(window) << m_log.Read();
    ::SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(m_log.Contains("end-session")) << m_log.Read();
    EXPECT_TRUE(m_log.Contains("uninstalled"));

    Game& game = LaunchGame(L"HL.exe");
    ASSERT_TRUE(game.window) << game.log.Read();
    drive::TapKey(drive::kSayKey);
    EXPECT_TRUE(game.log.WaitForLine("keydown 0x59")) << game.log.Read();
    EXPECT_FALSE(drive::FindChatBox(game.window).dialog);
}

}  // namespace
}  // namespace e2e
