#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "fake_profile_store.h"
#include "settings/app_settings.h"
#include "settings/autorun.h"
#include "settings/profile_store.h"

namespace {

void ExpectDefaults(const CAppSettings& s) {
    EXPECT_EQ(s.m_strExecutableFile, "");
    EXPECT_EQ(s.m_strKeys[0], "Y");
    EXPECT_EQ(s.m_strKeys[1], "U");
    EXPECT_EQ(s.m_strKeys[2], "P");
    EXPECT_EQ(s.m_strKeys[3], "F12");
    EXPECT_EQ(s.m_bAutoIme, 0);
    EXPECT_EQ(s.m_strSelectedIme, "");
    EXPECT_EQ(s.m_bMinimizeToTray, 1);
    EXPECT_EQ(s.m_bStartMinimized, 0);
    EXPECT_EQ(s.m_bRememberHistory, 1);
    EXPECT_EQ(s.m_nMaxHistoryItems, 10u);
    EXPECT_EQ(s.m_bAutoRun, 0);
}

// A record whose every field differs from its default, so that Load must overwrite it.
CAppSettings Scribbled() {
    CAppSettings s;
    s.m_strExecutableFile = "old";
    s.m_bAutoRun = 7;
    s.m_bMinimizeToTray = 7;
    s.m_bStartMinimized = 7;
    s.m_bAutoIme = 7;
    s.m_strSelectedIme = "old";
    for (auto& key : s.m_strKeys) key = "old";
    s.m_bRememberHistory = 7;
    s.m_nMaxHistoryItems = 7;
    return s;
}

TEST(AppSettingsLoad, EmptyOrUnopenableStoreGivesEveryDefault) {
    FakeProfileStore empty;
    CAppSettings a = Scribbled();
    a.Load(empty);
    ExpectDefaults(a);
    EXPECT_EQ(empty.sections.count(""), 1u) << "reading opens, and so creates, the application key";

    FakeProfileStore broken;
    broken.cannotOpen = true;
    CAppSettings b = Scribbled();
    b.Load(broken);
    ExpectDefaults(b);
}

TEST(AppSettingsLoad, ReadsEveryValueOnceInOrderFromTheApplicationKey) {
    FakeProfileStore store;
    CAppSettings s;
    s.Load(store);
    using Op = FakeProfileStore::Op;
    const std::vector<std::pair<Op, std::string>> expected{
        {Op::ReadRaw, "Executable File"}, {Op::ReadRaw, "Say Key"},       {Op::ReadRaw, "Say Team Key"},
        {Op::ReadRaw, "Rcon Say Key"},    {Op::ReadRaw, "Send Key"},      {Op::ReadInt, "Auto IME"},
        {Op::ReadRaw, "Selected IME"},    {Op::ReadInt, "Minimize to Tray"}, {Op::ReadInt, "Start Minimized"},
        {Op::ReadInt, "Remember History"}, {Op::ReadInt, "Max History Items"},
    };
    ASSERT_EQ(store.calls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(store.calls[i].op, expected[i].first) << i;
        EXPECT_EQ(store.calls[i].name, expected[i].second) << i;
        EXPECT_EQ(store.calls[i].section, "") << i;
    }
}

TEST(AppSettingsLoad, StoredValuesAreTakenAsTheyAre) {
    FakeProfileStore store;
    store.PutString("", "Executable File", "C:\\Games\\hl.exe");
    store.PutString("", "Say Key", "I");
    store.PutString("", "Say Team Key", "F1");
    store.PutString("", "Rcon Say Key", "Home");
    store.PutString("", "Send Key", "");  // empty text, not the default
    store.PutDword("", "Auto IME", 2);    // stays 2, counts as on
    store.PutString("", "Selected IME", "Chinese (Simplified) - Pinyin");
    store.PutDword("", "Minimize to Tray", 0);
    store.PutDword("", "Start Minimized", 1);
    store.PutDword("", "Remember History", 0);
    store.PutDword("", "Max History Items", 5);
    CAppSettings s;
    s.Load(store);
    EXPECT_EQ(s.m_strExecutableFile, "C:\\Games\\hl.exe");
    EXPECT_EQ(s.m_strKeys[0], "I");
    EXPECT_EQ(s.m_strKeys[1], "F1");
    EXPECT_EQ(s.m_strKeys[2], "Home");
    EXPECT_EQ(s.m_strKeys[3], "");
    EXPECT_EQ(s.m_bAutoIme, 2);
    EXPECT_EQ(s.m_strSelectedIme, "Chinese (Simplified) - Pinyin");
    EXPECT_EQ(s.m_bMinimizeToTray, 0);
    EXPECT_EQ(s.m_bStartMinimized, 1);
    EXPECT_EQ(s.m_bRememberHistory, 0);
    EXPECT_EQ(s.m_nMaxHistoryItems, 5u);
    EXPECT_EQ(s.m_bAutoRun, 0);
}

TEST(AppSettingsLoad, MaxHistoryItemsIsForcedIntoOneTo32) {
    const std::array<std::pair<std::uint32_t, std::uint32_t>, 7> cases{{
        {0, 1}, {1, 1}, {2, 2}, {32, 32}, {33, 32}, {0x80000000u, 32}, {0xFFFFFFFFu, 32},
    }};
    for (const auto& [stored, expected] : cases) {
        FakeProfileStore store;
        store.PutDword("", "Max History Items", stored);
        CAppSettings s;
        s.Load(store);
        EXPECT_EQ(s.m_nMaxHistoryItems, expected) << stored;
    }
    FakeProfileStore eightBytes;
    eightBytes.PutRaw("", "Max History Items", 11, std::string("\x05\0\0\0\0\0\0\0", 8));
    CAppSettings s;
    s.Load(eightBytes);
    EXPECT_EQ(s.m_nMaxHistoryItems, 10u);
}

TEST(ProfileGetString, DefaultOnlyWhenTheValueCannotBeRead) {
    FakeProfileStore store;
    EXPECT_EQ(ProfileGetString(store, "", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ProfileGetString(store, "", "Missing"), "");
    store.PutRaw("", "Empty", 1, "");
    EXPECT_EQ(ProfileGetString(store, "", "Empty", "dflt"), "");
    store.PutString("", "Nul", "");
    EXPECT_EQ(ProfileGetString(store, "", "Nul", "dflt"), "");
    store.PutRaw("", "Middle", 1, std::string("F1\0" "2\0", 5));
    EXPECT_EQ(ProfileGetString(store, "", "Middle", "dflt"), "F1");
    store.PutRaw("", "Unterminated", 1, "abc");
    EXPECT_EQ(ProfileGetString(store, "", "Unterminated"), "abc");
    store.PutDword("", "Number", 0x00434241);  // the type is not examined
    EXPECT_EQ(ProfileGetString(store, "", "Number"), "ABC");
    store.cannotOpen = true;
    EXPECT_EQ(ProfileGetString(store, "", "Middle", "dflt"), "dflt");
}

TEST(ProfileGetInt, LittleEndianUpToFourBytesOtherwiseTheDefault) {
    FakeProfileStore store;
    EXPECT_EQ(ProfileGetInt(store, "", "Missing", 42), 42u);
    store.PutRaw("", "Two", 3, std::string("\x34\x12", 2));
    EXPECT_EQ(ProfileGetInt(store, "", "Two", 42), 0x1234u);
    store.PutRaw("", "None", 3, "");
    EXPECT_EQ(ProfileGetInt(store, "", "None", 42), 0u);
    store.PutDword("", "Four", 0xA1B2C3D4u);
    EXPECT_EQ(ProfileGetInt(store, "", "Four", 42), 0xA1B2C3D4u);
    store.PutRaw("", "Five", 3, std::string("\x01\0\0\0\0", 5));
    EXPECT_EQ(ProfileGetInt(store, "", "Five", 42), 42u);
    store.cannotOpen = true;
    EXPECT_EQ(ProfileGetInt(store, "", "Four", 42), 42u);
}

TEST(ProfileSet, WritesTypedValuesAndReportsFailure) {
    FakeProfileStore store;
    EXPECT_TRUE(ProfileSetString(store, "History", "#0", "hello"));
    EXPECT_TRUE(ProfileSetInt(store, "History", "Count", 1));
    EXPECT_EQ(ProfileGetString(store, "History", "#0"), "hello");
    EXPECT_EQ(ProfileGetInt(store, "History", "Count", 9), 1u);
    store.failingWrites.insert("#1");
    EXPECT_FALSE(ProfileSetString(store, "History", "#1", "x"));
    EXPECT_EQ(store.Find("History", "#1"), nullptr);
    store.cannotOpen = true;
    EXPECT_FALSE(ProfileSetInt(store, "History", "Count", 2));
    EXPECT_FALSE(ProfileSetString(store, "History", "#2", "y"));
}

TEST(AcceptRunValue, OnlyTerminatedStringsOfAtMost260Bytes) {
    const std::string path = std::string("C:\\Parlix\\Parlix.exe") + '\0';
    EXPECT_TRUE(AcceptRunValue(kRegSz, path));
    EXPECT_TRUE(AcceptRunValue(kRegExpandSz, path));
    EXPECT_FALSE(AcceptRunValue(4, path));  // REG_DWORD
    EXPECT_FALSE(AcceptRunValue(3, path));  // REG_BINARY
    EXPECT_FALSE(AcceptRunValue(7, path));  // REG_MULTI_SZ
    EXPECT_FALSE(AcceptRunValue(kRegSz, ""));
    EXPECT_FALSE(AcceptRunValue(kRegSz, "C:\\Parlix\\Parlix.exe"));  // no terminator
    EXPECT_TRUE(AcceptRunValue(kRegSz, std::string(1, '\0')));
    EXPECT_TRUE(AcceptRunValue(kRegSz, std::string(259, 'a') + '\0'));
    EXPECT_FALSE(AcceptRunValue(kRegSz, std::string(260, 'a') + '\0'));
}

TEST(RunValueText, TextAsStoredUpToTheFirstNul) {
    EXPECT_EQ(RunValueText(std::string("\"C:\\P.exe\"\0", 11)), "\"C:\\P.exe\"");
    EXPECT_EQ(RunValueText(std::string("%APPDATA%\\P.exe\0junk\0", 21)), "%APPDATA%\\P.exe");
    EXPECT_EQ(RunValueText(std::string(1, '\0')), "");
}

}  // namespace
