#include <gtest/gtest.h>

#include "host/userconfig_bind.h"

namespace {

TEST(HostGameBind, KeyNamesAsTheGameConsoleSpellsThem) {
    EXPECT_EQ(GameBindKeyName("F12"), "F12");
    EXPECT_EQ(GameBindKeyName("f1"), "F1");
    EXPECT_EQ(GameBindKeyName("Y"), "y");
    EXPECT_EQ(GameBindKeyName("Insert"), "INS");
    EXPECT_EQ(GameBindKeyName("Delete"), "DEL");
    EXPECT_EQ(GameBindKeyName("page up"), "PGUP");
    EXPECT_EQ(GameBindKeyName("Page Dn"), "PGDN");
    EXPECT_EQ(GameBindKeyName("End"), "END");
    EXPECT_EQ(GameBindKeyName("Space"), "");
    EXPECT_EQ(GameBindKeyName(""), "");
    EXPECT_EQ(ParlixBindLine("F12"), "bind \"F12\" \"exec parlix.cfg\"");
}

TEST(HostGameBind, RecognisesOurLineHoweverItWasTyped) {
    EXPECT_TRUE(IsParlixBindLine("bind \"F12\" \"exec parlix.cfg\""));
    EXPECT_TRUE(IsParlixBindLine("  BIND F11 \"Exec Parlix.cfg\"\t"));
    EXPECT_TRUE(IsParlixBindLine("\xEF\xBB\xBF" "bind \"y\" \"exec parlix.cfg\""));
    EXPECT_FALSE(IsParlixBindLine("bind \"F12\" \"exec other.cfg\""));
    EXPECT_FALSE(IsParlixBindLine("bind \"F12\" \"exec parlix.cfg\" extra"));
    EXPECT_FALSE(IsParlixBindLine("bind F12 exec parlix.cfg"));
    EXPECT_FALSE(IsParlixBindLine("// bind \"F12\" \"exec parlix.cfg\""));
    EXPECT_FALSE(IsParlixBindLine("bind \"\" \"exec parlix.cfg\""));
}

const std::string kLine = "bind \"F11\" \"exec parlix.cfg\"";

TEST(HostUserConfig, AppendsWithTheFilesLineEndAndKeepsEverythingElse) {
    EXPECT_EQ(RewriteUserConfig("", kLine), kLine + "\r\n");
    EXPECT_EQ(RewriteUserConfig("sensitivity \"2\"\r\nname \"x\"\r\n", kLine),
              "sensitivity \"2\"\r\nname \"x\"\r\n" + kLine + "\r\n");
    EXPECT_EQ(RewriteUserConfig("a\nb\n", kLine), "a\nb\n" + kLine + "\n");
    // No line end after the last line: ours comes behind one in the file's style and
    // stays the last line without one, so that removing it gives the file back.
    EXPECT_EQ(RewriteUserConfig("a\nb", kLine), "a\nb\n" + kLine);
    EXPECT_EQ(RewriteUserConfig("only", kLine), "only\r\n" + kLine);
}

TEST(HostUserConfig, ReplacesAnEarlierLineOfOursInPlaceAndDropsDuplicates) {
    const std::string before = "\xEF\xBB\xBF" "bind \"F12\" \"exec parlix.cfg\"\r\n"
                               "bind \"w\" \"+forward\"\r\n"
                               "bind \"F10\"   \"exec parlix.cfg\"\n"
                               "\tstray \t bytes \xC4\xE3\r\n"
                               "bind \"y\" \"exec parlix.cfg\"";
    const std::string after = "\xEF\xBB\xBF" + kLine + "\r\n"
                              "bind \"w\" \"+forward\"\r\n"
                              "\tstray \t bytes \xC4\xE3\r\n";
    EXPECT_EQ(RewriteUserConfig(before, kLine), after);
}

TEST(HostUserConfig, IsIdempotentAndFollowsAChangedSendKey) {
    const std::string inputs[] = {"", "x\r\n", "x", "a\n\nb\r\n\r\n", "bind \"F12\" \"exec parlix.cfg\"\r\nz\r\n",
                                  "\r", "a\rb\r"};
    for (const std::string& input : inputs) {
        const std::string once = RewriteUserConfig(input, kLine);
        EXPECT_EQ(RewriteUserConfig(once, kLine), once) << input;
        const std::string otherKey = "bind \"PGDN\" \"exec parlix.cfg\"";
        const std::string changed = RewriteUserConfig(once, otherKey);
        EXPECT_EQ(changed.size(), once.size() - kLine.size() + otherKey.size()) << input;
        EXPECT_EQ(changed.find(kLine), std::string::npos) << input;
        EXPECT_EQ(RewriteUserConfig(changed, kLine), once) << input;
    }
}

TEST(HostUserConfig, RemovingOurLineGivesBackTheFileItWasAddedTo) {
    const std::string inputs[] = {"",           "x\r\n",     "x",        "a\n\nb\r\n\r\n", "\r", "a\rb\r", "a\rb",
                                  "\xEF\xBB\xBF", "\xEF\xBB\xBFz", "\r\n\r\n", "name \"\xC4\xE3\"\n\tsensitivity 2"};
    for (const std::string& input : inputs) {
        const std::string added = RewriteUserConfig(input, kLine);
        ASSERT_NE(added, input);
        EXPECT_EQ(RemoveParlixBindLines(added), input) << input;
        EXPECT_EQ(RemoveParlixBindLines(input), input) << "a file without our line stays as it is";
    }
}

TEST(HostUserConfig, RemovesEveryLineOfOursWithItsLineEndAndKeepsTheRest) {
    EXPECT_EQ(RemoveParlixBindLines("\xEF\xBB\xBF" "bind \"F12\" \"exec parlix.cfg\"\r\n"
                                    "bind \"w\" \"+forward\"\r\n"
                                    "  BIND F10 \"Exec Parlix.cfg\"\n"
                                    "\tstray \xC4\xE3\r\n"
                                    "bind \"y\" \"exec parlix.cfg\""),
              "\xEF\xBB\xBF" "bind \"w\" \"+forward\"\r\n\tstray \xC4\xE3");
    EXPECT_EQ(RemoveParlixBindLines("bind \"F12\" \"exec parlix.cfg\"\r\n"), "");
    EXPECT_EQ(RemoveParlixBindLines("// bind \"F12\" \"exec parlix.cfg\"\r\n"),
              "// bind \"F12\" \"exec parlix.cfg\"\r\n");
}

TEST(HostUserConfig, OnlyAFileTheSetUpMadeIsToBeDeleted) {
    // Made by the set-up, set up again with another key, then taken away.
    const std::string made = NewUserConfig(kLine);
    ASSERT_TRUE(IsParlixBindLine(kLine));
    EXPECT_EQ(RewriteUserConfig(made, kLine), made) << "the set-up of a file it made changes nothing";
    const std::string rebound = RewriteUserConfig(made, "bind \"F12\" \"exec parlix.cfg\"");
    for (const std::string& ours : {made, rebound}) {
        const UserConfigRemoval removal = RemoveParlixSetUp(ours);
        EXPECT_TRUE(removal.deleteFile) << ours;
        EXPECT_EQ(removal.content, "");
    }

    // Files that were there before the set-up stay, an empty one too, byte for byte.
    for (const std::string& before : {std::string(), std::string("\r\n"), std::string("name \"x\"")}) {
        const UserConfigRemoval removal = RemoveParlixSetUp(RewriteUserConfig(before, kLine));
        EXPECT_FALSE(removal.deleteFile) << before;
        EXPECT_EQ(removal.content, before);
    }

    // A file made by the set-up that the player wrote into keeps the player's lines,
    // without the mark that no longer tells the truth.
    const UserConfigRemoval edited = RemoveParlixSetUp(made + "name \"x\"\r\n");
    EXPECT_FALSE(edited.deleteFile);
    EXPECT_EQ(edited.content, "name \"x\"\r\n");

    // The mark counts only as the whole first line.
    const std::string mark = made.substr(0, made.find("\r\n"));
    for (const std::string& players : {"x\r\n" + mark + "\r\n", mark + " mine\r\n"}) {
        const UserConfigRemoval removal = RemoveParlixSetUp(players + kLine);
        EXPECT_FALSE(removal.deleteFile) << players;
        EXPECT_EQ(removal.content, RemoveParlixBindLines(players + kLine));
    }
}

TEST(HostUserConfig, PathsOfBothModFoldersBesideTheExecutable) {
    const std::vector<std::wstring> expected = {L"C:\\Games\\HL\\cstrike\\userconfig.cfg",
                                                L"C:\\Games\\HL\\czero\\userconfig.cfg"};
    EXPECT_EQ(UserConfigPaths(L"C:\\Games\\HL\\hl.exe"), expected);
    EXPECT_EQ(UserConfigPaths(L"C:/Games/HL\\hl.exe")[0], L"C:/Games/HL\\cstrike\\userconfig.cfg");
    EXPECT_TRUE(UserConfigPaths(L"hl.exe").empty());
    EXPECT_TRUE(UserConfigPaths(L"").empty());
}

}  // namespace
