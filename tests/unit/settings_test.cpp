#include <gtest/gtest.h>

#include "default_settings_check.h"
#include "fake_profile_store.h"
#include "settings/app_settings.h"

namespace {

CAppSettings Loaded(FakeProfileStore& store) {
    CAppSettings s;  // every field off its default, so that Load must write each one
    s.m_strExecutableFile = s.m_strSelectedIme = "old";
    s.m_bAutoRun = s.m_bMinimizeToTray = s.m_bStartMinimized = s.m_bAutoIme = s.m_bImeMode = s.m_bRememberHistory = 7;
    for (auto& key : s.m_strKeys) key = "old";
    s.m_nMaxHistoryItems = 7;
    s.Load(store);
    return s;
}

TEST(AppSettingsLoad, DefaultsWhenNothingCanBeReadInTheOrderOfReads) {
    for (bool cannotOpen : {false, true}) {
        FakeProfileStore store;
        store.cannotOpen = cannotOpen;
        const CAppSettings s = Loaded(store);
        ExpectDefaultSettings(s);
        EXPECT_EQ(s.m_bAutoRun, 0);
        EXPECT_EQ(store.sections.count(""), cannotOpen ? 0u : 1u);  // opening creates the key
        EXPECT_EQ(store.calls, (std::vector<std::string>{
            "ReadRaw /Executable File", "ReadRaw /Say Key", "ReadRaw /Say Team Key", "ReadRaw /Rcon Say Key",
            "ReadRaw /Send Key", "ReadInt /Auto IME", "ReadRaw /Selected IME", "ReadInt /IME Mode in Chat Box", "ReadInt /Minimize to Tray",
            "ReadInt /Start Minimized", "ReadInt /Remember History", "ReadInt /Max History Items"}));
    }
}

TEST(AppSettingsLoad, StoredValuesAreTakenAsTheyAre) {
    FakeProfileStore store;
    store.PutString("", "Executable File", "C:\\Games\\hl.exe");
    store.PutString("", "Say Key", "I");
    store.PutString("", "Send Key", "");                                // empty, not "F12"
    store.PutRaw("", "Selected IME", 1, std::string("Pinyin\0Wubi\0", 12));  // up to the first NUL
    store.PutDword("", "Auto IME", 2);                                  // stays 2
    store.PutDword("", "Minimize to Tray", 0);
    store.PutDword("", "IME Mode in Chat Box", 0);
    store.PutDword("", "Remember History", 0);
    const CAppSettings s = Loaded(store);
    EXPECT_EQ(s.m_strExecutableFile, "C:\\Games\\hl.exe");
    EXPECT_EQ(s.m_strKeys[0], "I");
    EXPECT_EQ(s.m_strKeys[3], "");
    EXPECT_EQ(s.m_strSelectedIme, "Pinyin");
    EXPECT_EQ(s.m_bAutoIme, 2);
    EXPECT_EQ(s.m_bMinimizeToTray, 0);
    EXPECT_EQ(s.m_bImeMode, 0);
    EXPECT_EQ(s.m_bRememberHistory, 0);
}

TEST(AppSettingsLoad, MaxHistoryItemsIsForcedIntoOneTo32) {
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{0, 1}, {1, 1}, {5, 5}, {32, 32}, {33, 32}, {0xFFFFFFFFu, 32}};
    for (const auto& [stored, expected] : cases) {
        FakeProfileStore store;
        store.PutDword("", "Max History Items", stored);
        EXPECT_EQ(Loaded(store).m_nMaxHistoryItems, expected) << stored;
    }
    FakeProfileStore eightBytes;
    eightBytes.PutRaw("", "Max History Items", 11, std::string("\x05\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(Loaded(eightBytes).m_nMaxHistoryItems, 10u);
}

TEST(ProfileReads, IntegersUpToFourBytesStringsUpToTheFirstNul) {
    FakeProfileStore store;
    store.PutRaw("", "Two", 3, "\x34\x12");
    store.PutRaw("", "Empty", 1, "");
    store.PutDword("", "Number", 0x00434241);  // the type is not examined
    EXPECT_EQ(ProfileGetInt(store, "", "Two", 42), 0x1234u);
    EXPECT_EQ(ProfileGetInt(store, "", "Empty", 42), 0u);
    EXPECT_EQ(ProfileGetInt(store, "", "Missing", 42), 42u);
    EXPECT_EQ(ProfileGetString(store, "", "Empty", "dflt"), "");
    EXPECT_EQ(ProfileGetString(store, "", "Number"), "ABC");
    EXPECT_EQ(ProfileGetString(store, "", "Missing", "dflt"), "dflt");
    store.cannotOpen = true;
    EXPECT_EQ(ProfileGetString(store, "", "Number", "dflt"), "dflt");
    EXPECT_EQ(ProfileGetInt(store, "", "Number", 42), 42u);
    EXPECT_FALSE(ProfileSetInt(store, "", "Number", 1));
}

}  // namespace
