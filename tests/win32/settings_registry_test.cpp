// The settings and the history against the real registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/hook_app_win32.h"
#include "chatbox/history_list.h"
#include "registry_call_counter.h"
#include "registry_test_support.h"
#include "settings/app_settings.h"
#include "settings/autorun_win32.h"
#include "settings/registry_profile_store_win32.h"
#include "settings/registry_tree_win32.h"

namespace {

const std::string kHistoryKey = std::string(kAppKey) + "\\History";

using SettingsRegistry = RegistryTest;

CAppSettings LoadSettings() {
    RegistryProfileStore profile("Kelvandor", "Parlix");
    CAppSettings settings;
    settings.Load(profile);
    return settings;
}

TEST_F(SettingsRegistry, NoApplicationKeyGivesEveryDefaultAndCreatesTheKeys) {
    ASSERT_FALSE(KeyExists("Software\\Kelvandor"));
    const CAppSettings settings = LoadSettings();
    EXPECT_EQ(settings.m_strExecutableFile, "");
    EXPECT_EQ(settings.m_strKeys[0], "Y");
    EXPECT_EQ(settings.m_strKeys[1], "U");
    EXPECT_EQ(settings.m_strKeys[2], "P");
    EXPECT_EQ(settings.m_strKeys[3], "F12");
    EXPECT_EQ(settings.m_bAutoIme, 0);
    EXPECT_EQ(settings.m_strSelectedIme, "");
    EXPECT_EQ(settings.m_bMinimizeToTray, 1);
    EXPECT_EQ(settings.m_bStartMinimized, 0);
    EXPECT_EQ(settings.m_bRememberHistory, 1);
    EXPECT_EQ(settings.m_nMaxHistoryItems, 10u);
    EXPECT_TRUE(KeyExists("Software\\Kelvandor"));
    EXPECT_TRUE(KeyExists(kAppKey));
    // Opened for reading, the keys are created empty: nothing is written into them.
    EXPECT_TRUE(ValueNames(kAppKey).empty());
    EXPECT_EQ(SubkeyCount(kAppKey), 0u);
}

TEST_F(SettingsRegistry, ValuesReadByTheirBytesNotTheirTypes) {
    const unsigned long long eightBytes = 5;
    PutValue(kAppKey, "Max History Items", REG_QWORD,
             std::string_view(reinterpret_cast<const char*>(&eightBytes), sizeof eightBytes));
    PutDword(kAppKey, "Auto IME", 2);
    PutValue(kAppKey, "Selected IME", REG_SZ, std::string_view("abc\0def\0", 8));
    PutString(kAppKey, "Send Key", "");
    PutValue(kAppKey, "Say Key", REG_SZ, std::string_view());  // no bytes at all
    PutString(kAppKey, "Executable File", "C:\\Games\\CStrike.exe");
    PutValue(kAppKey, "Rcon Say Key", REG_SZ, "K");  // stored without its terminator
    PutValue(kAppKey, "Remember History", REG_BINARY, std::string_view("\0\0", 2));

    const CAppSettings settings = LoadSettings();
    EXPECT_EQ(settings.m_nMaxHistoryItems, 10u) << "8 bytes do not fit the 4-byte read";
    EXPECT_EQ(settings.m_bAutoIme, 2);
    EXPECT_EQ(settings.m_strSelectedIme, "abc");
    EXPECT_EQ(settings.m_strKeys[3], "") << "an empty text is not the default";
    EXPECT_EQ(settings.m_strKeys[0], "");
    EXPECT_EQ(settings.m_strExecutableFile, "C:\\Games\\CStrike.exe");
    EXPECT_EQ(settings.m_strKeys[2], "K");
    EXPECT_EQ(settings.m_bRememberHistory, 0) << "two zero bytes read as 0";
}

TEST_F(SettingsRegistry, WritesStoreStringsWithTerminatorAndIntegersAsDwords) {
    RegistryProfileStore profile("Kelvandor", "Parlix");
    ASSERT_TRUE(ProfileSetString(profile, "History", "#0", "hi"));
    ASSERT_TRUE(ProfileSetString(profile, "History", "#1", ""));
    ASSERT_TRUE(ProfileSetInt(profile, "History", "Count", 0x01020304));
    // Back to the application key and again to the section, through the kept key.
    EXPECT_EQ(ProfileGetString(profile, "", "Send Key", "F12"), "F12");
    EXPECT_EQ(ProfileGetString(profile, "History", "#0"), "hi");

    const StoredValue text = GetValue(kHistoryKey, "#0");
    EXPECT_EQ(text.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text.data, std::string("hi\0", 3));
    EXPECT_EQ(GetValue(kHistoryKey, "#1").data, std::string(1, '\0'));
    const StoredValue count = GetValue(kHistoryKey, "Count");
    EXPECT_EQ(count.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count.data, std::string("\x04\x03\x02\x01", 4));
}

TEST_F(SettingsRegistry, SoftwareIsNeverCreatedAndAMissingMakerFails) {
    RegistryProfileStore noIdentity("", "");
    EXPECT_FALSE(noIdentity.WriteInt("", "Count", 1));
    EXPECT_EQ(noIdentity.ReadRaw("", "Count"), std::nullopt);
    EXPECT_FALSE(noIdentity.DeleteSection(""));
    RegistryProfileStore profile("Kelvandor", "Parlix");
    EXPECT_FALSE(profile.DeleteSection("")) << "the whole profile is never deleted as a section";
    EXPECT_TRUE(ValueNames("Software").empty());
}

struct RunCase {
    const char* what;
    DWORD type;
    std::string data;
    std::int32_t expected;
};

TEST_F(SettingsRegistry, RunValueCountsOnlyAnExistingPathStoredAsAString) {
    const std::string file = ThisProgramPath();
    const std::string folder = file.substr(0, file.find_last_of('\\'));
    std::string longPath = folder;
    while (longPath.size() < 300) longPath += "\\.";
    const RunCase cases[] = {
        {"unquoted existing file", REG_SZ, file + '\0', 1},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, file + '\0', 1},
        {"quoted path", REG_SZ, '"' + file + '"' + '\0', 0},
        {"existing folder", REG_SZ, folder + '\0', 1},
        {"missing file", REG_SZ, folder + "\\missing.exe" + '\0', 0},
        {"REG_DWORD", REG_DWORD, std::string("\x01\x00\x00\x00", 4), 0},
        {"zero bytes", REG_SZ, std::string(), 0},
        {"more than 260 bytes", REG_SZ, longPath + '\0', 0},
        {"text ends at its first NUL", REG_SZ, file + '\0' + "junk" + '\0', 1},
    };
    EXPECT_EQ(ReadAutoRun(), 0) << "missing value";
    for (const RunCase& c : cases) {
        PutValue(kRunKey, "Parlix", c.type, c.data);
        EXPECT_EQ(ReadAutoRun(), c.expected) << c.what;
    }
    // A string stored without its terminator. The ANSI writer adds one, so the value
    // is written in UTF-16 (all ASCII here) and read back through the ANSI query.
    std::wstring unterminated(file.begin(), file.end());
    HKEY run = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_WRITE, &run), ERROR_SUCCESS);
    ::RegSetValueExW(run, L"Parlix", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated.data()),
                     static_cast<DWORD>(unterminated.size() * sizeof(wchar_t)));
    ::RegCloseKey(run);
    const StoredValue stored = GetValueA(kRunKey, "Parlix");
    if (!stored.data.empty() && stored.data.back() != '\0') {
        EXPECT_EQ(ReadAutoRun(), 0) << "no terminator";
    } else {
        std::printf("the platform terminates the ANSI read itself; the no-terminator case is left to the unit tests\n");
    }
}

TEST_F(SettingsRegistry, OneAttachStaysWithinThirtyRegistryCalls) {
    PutString(kAppKey, "Executable File", "C:\\Games\\hl.exe");
    PutString(kAppKey, "Send Key", "F5");
    PutDword(kAppKey, "Max History Items", 33);
    PutString(kRunKey, "Parlix", ThisProgramPath());
    int calls = 0;
    {
        RegistryCallCounter counter;
        ASSERT_GE(counter.Patched(), 4) << "the import table was not patched; nothing would be counted";
        CHookApp app;
        EXPECT_EQ(app.InitInstance(), TRUE);
        calls = counter.Calls();
        const CAppSettings& settings = GetAppSettings();
        EXPECT_EQ(settings.m_strKeys[3], "F5");
        EXPECT_EQ(settings.m_nMaxHistoryItems, 32u);
        EXPECT_EQ(settings.m_bAutoRun, 1);
        app.ExitInstance();
    }
    RecordProperty("registry_calls_per_attach", calls);
    std::printf("registry calls of one attach: %d\n", calls);
    EXPECT_GT(calls, 0);
    EXPECT_LE(calls, 30);
}

TEST_F(SettingsRegistry, DeleteKeyTreeRemovesNestedSubkeysAndOnlyThem) {
    const std::string root = "Software\\Kelvandor\\Tree";
    CreateKey(root + "\\a\\b\\c");
    CreateKey(root + "\\a\\d");
    PutString(root + "\\a\\b", "v", "x");
    CreateKey(root + "\\e");
    PutDword(root, "w", 1);
    CreateKey("Software\\Kelvandor\\Sibling");

    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, root.c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(root));
    EXPECT_TRUE(KeyExists("Software\\Kelvandor\\Sibling"));
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, root.c_str()), ERROR_FILE_NOT_FOUND);
}

TEST_F(SettingsRegistry, TooDeepATreeIsLeftWholeAndAShallowerOneGoes) {
    std::string deep = "Software\\Kelvandor\\Deep";
    for (int i = 0; i < kMaxDeleteDepth + 8; ++i) deep += "\\k";
    CreateKey(deep);
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Kelvandor\\Deep"), ERROR_STACK_OVERFLOW);
    EXPECT_TRUE(KeyExists(deep)) << "nothing is deleted when the bottom cannot be reached";

    std::string shallow = "Software\\Kelvandor\\Shallow";
    for (int i = 0; i < kMaxDeleteDepth; ++i) shallow += "\\k";
    CreateKey(shallow);
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Kelvandor\\Shallow"), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists("Software\\Kelvandor\\Shallow"));
}

TEST_F(SettingsRegistry, DeleteHistoryKeyFollowsTheApplicationsIdentity) {
    CreateKey(kHistoryKey + "\\Sub");
    EXPECT_FALSE(DeleteHistoryKey()) << "no application object yet";
    CWinApp app;
    app.SetRegistryKey("Kelvandor");
    app.SetProfileName("Parlix");
    EXPECT_TRUE(DeleteHistoryKey());
    EXPECT_FALSE(KeyExists(kHistoryKey));
    EXPECT_TRUE(KeyExists(kAppKey));
    EXPECT_FALSE(DeleteHistoryKey()) << "nothing left to delete";
}

TEST_F(SettingsRegistry, HistorySaveRewritesTheWholeSection) {
    for (int i = 0; i < 10; ++i) PutString(kHistoryKey, ("#" + std::to_string(i)).c_str(), "old");
    PutDword(kHistoryKey, "Count", 10);
    CreateKey(kHistoryKey + "\\Sub\\Deeper");

    RegistryProfileStore profile("Kelvandor", "Parlix");
    HistoryList list;
    // Read through the same store first, so the section's key is the one kept open.
    EXPECT_EQ(list.LoadHistory(profile, 1), 1);
    list.m_history = {"a", "b", "c"};
    EXPECT_EQ(list.SaveHistory(profile), 3);

    EXPECT_EQ(ValueNames(kHistoryKey), (std::set<std::string>{"#0", "#1", "#2", "Count"}));
    EXPECT_EQ(SubkeyCount(kHistoryKey), 0u);
    EXPECT_EQ(GetValue(kHistoryKey, "Count").data, std::string("\x03\x00\x00\x00", 4));
    EXPECT_EQ(GetValue(kHistoryKey, "#2").data, std::string("c\0", 2));

    HistoryList reloaded;
    EXPECT_EQ(reloaded.LoadHistory(profile, 10), 3);
    EXPECT_EQ(reloaded.m_history, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(SettingsRegistry, HostileHistoryDataNeitherCrashesNorHangs) {
    PutDword(kHistoryKey, "Count", 0xFFFFFFFF);
    const std::string big(1 << 20, 'x');
    PutString(kHistoryKey, "#0", big);
    PutDword(kHistoryKey, "#1", 0x41);                       // an integer where a string belongs
    PutValue(kHistoryKey, "#2", REG_BINARY, std::string_view("\xFF\xFE\x00z", 4));  // bytes with no terminator
    PutString(kHistoryKey, "#5", "five");
    std::string deep = kHistoryKey;
    for (int i = 0; i < kMaxDeleteDepth + 8; ++i) deep += "\\k";
    CreateKey(deep);

    RegistryProfileStore profile("Kelvandor", "Parlix");
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(profile, 32), 4);
    ASSERT_EQ(list.m_history.size(), 4u);
    EXPECT_EQ(list.m_history[0].size(), big.size());
    EXPECT_EQ(list.m_history[1], "A");
    EXPECT_EQ(list.m_history[2], std::string("\xFF\xFE"));
    EXPECT_EQ(list.m_history[3], "five");

    // The deep tree cannot be deleted; the save still writes its values over the old ones.
    list.m_history = {"a"};
    EXPECT_EQ(list.SaveHistory(profile), 1);
    EXPECT_EQ(GetValue(kHistoryKey, "#0").data, std::string("a\0", 2));
    EXPECT_EQ(GetValue(kHistoryKey, "Count").data, std::string("\x01\x00\x00\x00", 4));
}

}  // namespace
