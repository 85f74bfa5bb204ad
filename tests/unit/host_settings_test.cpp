#include <gtest/gtest.h>

#include "fake_profile_store.h"
#include "host/host_settings.h"

namespace {

struct KeyCase {
    std::string keys[4];
    const char* mustMention;  // nullptr when the choice is fine
};

TEST(HostKeyChoice, RefusesWhatTheModuleWouldMisreadAndNamesTheKeys) {
    const KeyCase cases[] = {
        {{"Y", "U", "P", "F12"}, nullptr},
        {{"F1", "Page Up", "Insert", "Page Dn"}, nullptr},
        {{"F12", "U", "P", "F12"}, "say key and the send key are both \"F12\""},
        {{"Y", "U", "F12", "F12"}, "rcon say key and the send key"},
        // Names differing only in letter case are the same key.
        {{"Y", "f12", "P", "F12"}, "say team key and the send key are both \"f12\""},
        {{"Y", "y", "P", "F12"}, "say key and the say team key are both \"Y\""},
        {{"Y", "U", "U", "F12"}, "say team key and the rcon say key"},
        {{"P", "U", "P", "F12"}, "say key and the rcon say key"},
        {{"Y", "U", "P", ""}, "Choose a send key"},
        {{"Y", "Q", "P", "F12"}, "\"Q\" cannot be the say team key"},
        {{"Y", "U", "P", "F12 "}, "cannot be the send key"},
    };
    for (const KeyCase& c : cases) {
        std::string message = CheckKeyChoice(c.keys, HostLanguage::English);
        SCOPED_TRACE(c.keys[0] + "," + c.keys[1] + "," + c.keys[2] + "," + c.keys[3]);
        if (c.mustMention == nullptr) {
            EXPECT_EQ(message, "");
        } else {
            EXPECT_NE(message.find(c.mustMention), std::string::npos) << message;
        }
    }
}

TEST(HostKeyChoice, MaxHistoryItemsAcceptsOnlyOneToThirtyTwo) {
    EXPECT_EQ(ParseMaxHistoryItems("1"), 1u);
    EXPECT_EQ(ParseMaxHistoryItems("32"), 32u);
    EXPECT_EQ(ParseMaxHistoryItems("07"), 7u);
    for (const char* bad : {"", "0", "00", "33", "100", "-1", " 5", "5 ", "1a", "4294967297"})
        EXPECT_FALSE(ParseMaxHistoryItems(bad).has_value()) << bad;
}

CAppSettings Changed() {
    CAppSettings settings;
    settings.m_strExecutableFile = "C:\\Games\\Half-Life\\hl.exe";
    settings.m_strKeys[0] = "F1";
    settings.m_strKeys[1] = "F2";
    settings.m_strKeys[2] = "F3";
    settings.m_strKeys[3] = "Page Dn";
    settings.m_bAutoIme = 1;
    settings.m_strSelectedIme = "Chinese (Simplified) - Microsoft Pinyin";
    settings.m_bImeMode = 0;
    settings.m_bMinimizeToTray = 0;
    settings.m_bStartMinimized = 1;
    settings.m_bRememberHistory = 0;
    settings.m_nMaxHistoryItems = 32;
    return settings;
}

TEST(HostSaveSettings, WritesWhatTheModuleLoadsBackWithItsTypes) {
    FakeProfileStore profile;
    const CAppSettings saved = Changed();
    ASSERT_TRUE(SaveSettings(profile, saved));

    CAppSettings loaded;
    loaded.Load(profile);
    EXPECT_EQ(loaded.m_strExecutableFile, saved.m_strExecutableFile);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(loaded.m_strKeys[i], saved.m_strKeys[i]);
    EXPECT_EQ(loaded.m_bAutoIme, 1);
    EXPECT_EQ(loaded.m_strSelectedIme, saved.m_strSelectedIme);
    EXPECT_EQ(loaded.m_bImeMode, 0);
    EXPECT_EQ(loaded.m_bMinimizeToTray, 0);
    EXPECT_EQ(loaded.m_bStartMinimized, 1);
    EXPECT_EQ(loaded.m_bRememberHistory, 0);
    EXPECT_EQ(loaded.m_nMaxHistoryItems, 32u);

    const std::vector<std::string> strings = {"Executable File", "Say Key", "Say Team Key",
                                              "Rcon Say Key", "Send Key", "Selected IME"};
    const std::vector<std::string> dwords = {"Auto IME", "IME Mode in Chat Box", "Minimize to Tray", "Start Minimized",
                                             "Remember History", "Max History Items"};
    EXPECT_EQ(profile.ValueNames("").size(), strings.size() + dwords.size());
    for (const std::string& name : strings) {
        ASSERT_NE(profile.Find("", name), nullptr) << name;
        EXPECT_EQ(profile.Find("", name)->type, FakeProfileStore::kSz) << name;
    }
    for (const std::string& name : dwords) {
        ASSERT_NE(profile.Find("", name), nullptr) << name;
        EXPECT_EQ(profile.Find("", name)->type, FakeProfileStore::kDword) << name;
        EXPECT_EQ(profile.Find("", name)->data.size(), 4u) << name;
    }
}

TEST(HostSaveSettings, AFailedWriteIsReportedAndTheOthersAreStillWritten) {
    FakeProfileStore profile;
    profile.failingWrites.insert("Say Team Key");
    EXPECT_FALSE(SaveSettings(profile, Changed()));
    EXPECT_EQ(profile.Find("", "Say Team Key"), nullptr);
    ASSERT_NE(profile.Find("", "Max History Items"), nullptr);

    FakeProfileStore closed;
    closed.cannotOpen = true;
    EXPECT_FALSE(SaveSettings(closed, Changed()));
}

TEST(HostSaveSettings, CheckSettingsCoversKeysAndHistoryLength) {
    CAppSettings settings = Changed();
    EXPECT_EQ(CheckSettings(settings, HostLanguage::English), "");
    settings.m_nMaxHistoryItems = 0;
    EXPECT_NE(CheckSettings(settings, HostLanguage::English).find("1 to 32"), std::string::npos);
    settings.m_nMaxHistoryItems = 33;
    EXPECT_NE(CheckSettings(settings, HostLanguage::English).find("1 to 32"), std::string::npos);
    settings.m_nMaxHistoryItems = 5;
    settings.m_strKeys[0] = "Page Dn";
    EXPECT_NE(CheckSettings(settings, HostLanguage::English).find("send key"), std::string::npos);
}

TEST(HostHotKeys, CodesOfTheThreeHotKeysAndAFourthZero) {
    CAppSettings settings = Changed();
    settings.m_strKeys[1] = "page up";
    const std::array<std::uint16_t, 4> expected = {0x70, 0x21, 0x72, 0};
    EXPECT_EQ(HotKeyCodes(settings), expected);
}

}  // namespace
