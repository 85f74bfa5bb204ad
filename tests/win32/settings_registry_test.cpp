// The settings, the Run value and the history against the registry of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "../unit/default_settings_check.h"
#include "app/hook_app_win32.h"
#include "chatbox/history_key_win32.h"
#include "chatbox/history_list.h"
#include "framework/wide_text_win32.h"
#include "registry_call_counter.h"
#include "registry_test_support.h"
#include "settings/app_settings_instance.h"
#include "settings/registry_profile_store_win32.h"
#include "settings/registry_tree_win32.h"
#include "settings/run_value.h"
#include "settings/run_value_win32.h"

namespace {

const std::string kHistoryKey = std::string(kAppKey) + "\\History";

using SettingsRegistry = RegistryTest;

CAppSettings LoadSettings() {
    RegistryProfileStore profile("Kelvandor", "Parlix");
    CAppSettings settings;
    settings.Load(profile);
    return settings;
}

std::string Deep(std::string path, int levels) {
    for (int i = 0; i < levels; ++i) path += "\\k";
    return path;
}

TEST_F(SettingsRegistry, NoApplicationKeyGivesEveryDefaultAndCreatesEmptyKeys) {
    const CAppSettings s = LoadSettings();
    ExpectDefaultSettings(s);
    EXPECT_TRUE(KeyExists(kAppKey));
    EXPECT_TRUE(Contents(kAppKey).empty()) << "reading writes nothing";
    // Without an identity the chain would end at Software itself: nothing is opened.
    RegistryProfileStore noIdentity("", "");
    EXPECT_FALSE(noIdentity.WriteInt("", "Count", 1));
}

TEST_F(SettingsRegistry, ValuesAreReadByTheirBytesNotTheirTypes) {
    const unsigned long long eightBytes = 5;
    PutValue(kAppKey, "Max History Items", REG_QWORD, {reinterpret_cast<const char*>(&eightBytes), 8});
    PutDword(kAppKey, "Auto IME", 2);
    PutValue(kAppKey, "Selected IME", REG_SZ, {"abc\0def\0", 8});
    PutString(kAppKey, "Send Key", "");
    PutValue(kAppKey, "Say Key", REG_SZ, {});
    PutValue(kAppKey, "Remember History", REG_BINARY, {"\0\0", 2});
    const CAppSettings s = LoadSettings();
    EXPECT_EQ(s.m_nMaxHistoryItems, 10u) << "8 bytes do not fit the 4-byte read";
    EXPECT_EQ(s.m_bAutoIme, 2);
    EXPECT_EQ(s.m_strSelectedIme, "abc");
    EXPECT_EQ(s.m_strKeys[3], "") << "an empty text is not the default";
    EXPECT_EQ(s.m_strKeys[0], "");
    EXPECT_EQ(s.m_bRememberHistory, 0);
}

TEST_F(SettingsRegistry, RunValueGivesTheProgramAsTheHostWroteItWithoutLookingAtIt) {
    // A share that does not exist: nothing may wait for it, and nothing asks.
    const std::string program = "\\\\no-such-server\\share\\Parlix Host\\ParlixHost.exe";
    const std::wstring wide = WideFromUtf8(program);
    struct {
        const char* what;
        DWORD type;
        std::string data;
        std::wstring expected;
    } const cases[] = {
        {"quoted, as the host writes it", REG_SZ, Utf8FromWide(RunCommandFor(wide)) + '\0', wide},
        {"unquoted, as an older host wrote it", REG_SZ, program + '\0', wide},
        {"with arguments", REG_SZ, '"' + program + "\" --minimized" + '\0', wide},
        {"REG_EXPAND_SZ, expanded", REG_EXPAND_SZ, "\"%SystemRoot%\\x.exe\"" + std::string(1, '\0'), L""},
        {"no terminator", REG_SZ, program, wide},
        {"REG_DWORD", REG_DWORD, {"\x01\0\0\0", 4}, L""},
        {"zero bytes", REG_SZ, {}, L""},
        {"blanks only", REG_SZ, std::string("  \0", 3), L""},
        {"longer than any command the host writes", REG_SZ, '"' + std::string(1100, 'p') + '"' + '\0', L""},
    };
    EXPECT_EQ(ReadRunProgram(), L"") << "missing value";
    wchar_t systemRoot[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH), 0u);
    for (const auto& c : cases) {
        PutValue(kRunKey, "Parlix", c.type, c.data);
        const std::wstring expected =
            c.type == REG_EXPAND_SZ ? std::wstring(systemRoot) + L"\\x.exe" : c.expected;
        EXPECT_EQ(ReadRunProgram(), expected) << c.what;
    }
}

TEST_F(SettingsRegistry, OneAttachStaysWithinThirtyRegistryCalls) {
    // Every value present: a string present costs two queries, a missing one one.
    for (const char* name : {"Executable File", "Say Key", "Say Team Key", "Rcon Say Key", "Selected IME"})
        PutString(kAppKey, name, "x");
    for (const char* name : {"Auto IME", "IME Mode in Chat Box", "Minimize to Tray", "Start Minimized", "Remember History"})
        PutDword(kAppKey, name, 1);
    PutString(kAppKey, "Send Key", "F5");
    PutDword(kAppKey, "Max History Items", 33);
    PutString(kRunKey, "Parlix", '"' + ThisProgramPath() + '"');
    RegistryCallCounter counter;
    ASSERT_GE(counter.Patched(), 4) << "the import table was not patched";
    CHookApp app;
    app.InitInstance();
    const int calls = counter.Calls();
    EXPECT_EQ(GetAppSettings().m_strKeys[3], "F5");
    EXPECT_EQ(GetAppSettings().m_nMaxHistoryItems, 32u);
    EXPECT_EQ(GetAppSettings().m_bAutoRun, 1);
    app.ExitInstance();
    RecordProperty("registry_calls_per_attach", calls);
    std::printf("registry calls of one attach: %d\n", calls);
    EXPECT_GT(calls, 0);
    EXPECT_LE(calls, 30);
}

TEST_F(SettingsRegistry, DeleteKeyTreeTakesNestedSubkeysButLeavesTooDeepATreeWhole) {
    const std::string root = "Software\\Kelvandor\\Tree";
    PutString(root + "\\a\\b\\c", "v", "x");
    // A subkey whose name the ANSI code page may not hold goes as well.
    HKEY korean = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Kelvandor\\Tree\\\ud55c\\\u03a9", 0, nullptr, 0,
                                KEY_WRITE, nullptr, &korean, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(korean);
    CreateKey(root + "\\a\\d");
    CreateKey(Deep(root + "\\e", kMaxDeleteDepth - 1));
    CreateKey("Software\\Kelvandor\\Sibling");
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, WideFromUtf8(root).c_str()), ERROR_SUCCESS);
    EXPECT_EQ(Contents("Software\\Kelvandor"), (std::set<std::string>{"Sibling\\"}));
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, WideFromUtf8(root).c_str()), ERROR_FILE_NOT_FOUND);

    CreateKey(Deep(root, kMaxDeleteDepth + 8));
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, WideFromUtf8(root).c_str()), ERROR_STACK_OVERFLOW);
    EXPECT_TRUE(KeyExists(Deep(root, kMaxDeleteDepth + 8))) << "nothing goes when the bottom is out of reach";
}

TEST_F(SettingsRegistry, DeleteHistoryKeyFollowsTheApplicationsIdentity) {
    CreateKey(kHistoryKey + "\\Sub");
    EXPECT_FALSE(DeleteHistoryKey()) << "no application object";
    CWinApp app;
    app.SetRegistryKey("Kelvandor");
    app.SetProfileName("Parlix");
    EXPECT_TRUE(DeleteHistoryKey());
    EXPECT_EQ(Contents(kAppKey), std::set<std::string>{});
}

TEST_F(SettingsRegistry, HistorySaveLeavesExactlyTheNewEntriesAndCount) {
    for (int i = 0; i < 10; ++i) PutString(kHistoryKey, ("#" + std::to_string(i)).c_str(), "old");
    PutDword(kHistoryKey, "COUNT", 10);  // the same value as "Count" to the registry
    PutString(kHistoryKey, "#03", "not a position name");
    // The default value, whose name is empty, between other names in the listing.
    PutString(kHistoryKey, "", "default");
    CreateKey(kHistoryKey + "\\Sub\\Deeper");
    CreateKey(kHistoryKey + "\\Second");
    // A value whose name no ANSI code page holds: it goes all the same.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kHistoryKey.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    ::RegSetValueExW(key, L"#\x0E01", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    ::RegCloseKey(key);
    RegistryProfileStore profile("Kelvandor", "Parlix");
    HistoryList list;
    // A read first, so the store holds the section's key open while it is cleared.
    EXPECT_EQ(list.LoadHistory(profile, 1), 1);
    EXPECT_EQ(list.m_history, std::vector<std::string>{"old"});
    list.m_history = {"a", "b", "c"};
    EXPECT_EQ(list.SaveHistory(profile), 3);
    auto contents = Contents(kHistoryKey);
    contents.erase("COUNT");  // the name the value was created with, which a write keeps
    contents.erase("Count");
    EXPECT_EQ(contents, (std::set<std::string>{"#0", "#1", "#2"}));
    EXPECT_EQ(GetBytes(kHistoryKey, "Count"), std::string("\x03\0\0\0", 4)) << "REG_DWORD";
    EXPECT_EQ(GetBytes(kHistoryKey, "#2"), std::string("c\0", 2)) << "with its terminator";
    HistoryList reloaded;
    EXPECT_EQ(reloaded.LoadHistory(profile, 10), 3);
    EXPECT_EQ(reloaded.m_history, list.m_history);
}

// The store keeps UTF-8 and stores UTF-16 string values: text of the ANSI code
// page is stored as the ANSI API stores it, and text it cannot hold comes back
// whole instead of as question marks.
TEST_F(SettingsRegistry, StringsGoThroughTheWideApiAsTheyAre) {
    RegistryProfileStore profile("Kelvandor", "Parlix");
    const std::string chinese = "\xE4\xBD\xA0\xE5\xA5\xBD";                  // 你好
    const std::string mixed = "\xED\x95\x9C \xCE\xA9 \xF0\x9F\x98\x80 caf\xC3\xA9";  // 한 Ω 😀 café
    ASSERT_TRUE(profile.WriteString("History", "#0", chinese));
    ASSERT_TRUE(profile.WriteString("", "Executable File", mixed));
    EXPECT_EQ(ProfileGetString(profile, "History", "#0"), chinese);
    EXPECT_EQ(ProfileGetString(profile, "", "Executable File"), mixed);
    // REG_SZ with the terminator, the UTF-16 units the registry keeps.
    wchar_t data[32] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Kelvandor\\Parlix\\History", L"#0", RRF_RT_ANY,
                             &type, data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(data, size / sizeof(wchar_t)), std::wstring(L"\u4f60\u597d", 3));
    // What the ANSI API makes of it is what it would have stored itself.
    PutString(kAppKey, "Ansi", "plain \x41");
    ASSERT_TRUE(profile.WriteString("", "Wide", "plain \x41"));
    EXPECT_EQ(GetBytes(kAppKey, "Wide"), GetBytes(kAppKey, "Ansi"));
    if (::GetACP() == 936) {  // the test prefix's code page: 你好 is C4 E3 BA C3 there
        PutString(kAppKey, "Ansi", "\xC4\xE3\xBA\xC3");
        ASSERT_TRUE(profile.WriteString("", "Wide", chinese));
        EXPECT_EQ(GetBytes(kAppKey, "Wide"), std::string("\xC4\xE3\xBA\xC3\0", 5));
        EXPECT_EQ(GetBytes(kAppKey, "Wide"), GetBytes(kAppKey, "Ansi"));
    }
    // Names are UTF-8 too.
    ASSERT_TRUE(profile.WriteInt("", "\xE8\xAE\xA1\xE6\x95\xB0", 7));
    EXPECT_EQ(ProfileGetInt(profile, "", "\xE8\xAE\xA1\xE6\x95\xB0", 0), 7u);
}

TEST_F(SettingsRegistry, HostileHistoryDataNeitherCrashesNorHangs) {
    // The newest positions below the largest count: 4294967263 to 4294967294.
    PutDword(kHistoryKey, "Count", 0xFFFFFFFF);
    PutString(kHistoryKey, "#4294967294", std::string(1 << 20, 'x'));
    PutDword(kHistoryKey, "#4294967293", 0x41);
    PutValue(kHistoryKey, "#4294967292", REG_BINARY, {"\xFF\xFE\0z", 4});
    PutString(kHistoryKey, "#4294967290", "ninety");
    PutString(kHistoryKey, "#0", "too old to be read");
    CreateKey(Deep(kHistoryKey, kMaxDeleteDepth + 8));
    RegistryProfileStore profile("Kelvandor", "Parlix");
    HistoryList list;
    EXPECT_EQ(list.LoadHistory(profile, 32), 4);
    // Data that is no string reads as the UTF-16 units its bytes make: FF FE 00 7A
    // are U+FEFF and U+7A00.
    EXPECT_EQ(list.m_history, (std::vector<std::string>{"ninety", "\xEF\xBB\xBF\xE7\xA8\x80", "A",
                                                        std::string(1 << 20, 'x')}));
    // The deep tree stays; every value but the new ones goes.
    list.m_history = {"a"};
    EXPECT_EQ(list.SaveHistory(profile), 1);
    EXPECT_EQ(Contents(kHistoryKey), (std::set<std::string>{"#0", "Count", "k\\"}));
    EXPECT_EQ(GetBytes(kHistoryKey, "#0"), std::string("a\0", 2));
    EXPECT_EQ(GetBytes(kHistoryKey, "Count"), std::string("\x01\0\0\0", 4));
}

}  // namespace
