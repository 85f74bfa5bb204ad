#include "chatbox/cfg_path.h"

#include <gtest/gtest.h>

TEST(RemoveFileSpec, CutsTheLastNameLikeTheShellHelper) {
    EXPECT_EQ(RemoveFileSpec("D:\\Games\\HL\\hl.exe"), "D:\\Games\\HL");
    EXPECT_EQ(RemoveFileSpec("C:\\hl.exe"), "C:\\");
    EXPECT_EQ(RemoveFileSpec("C:"), "C:");
    EXPECT_EQ(RemoveFileSpec("C:hl.exe"), "C:");
    EXPECT_EQ(RemoveFileSpec("hl.exe"), "");
    EXPECT_EQ(RemoveFileSpec(""), "");
    EXPECT_EQ(RemoveFileSpec("D:\\Games\\"), "D:\\Games");
    EXPECT_EQ(RemoveFileSpec("\\hl.exe"), "\\");
    EXPECT_EQ(RemoveFileSpec("\\\\server\\share\\x.exe"), "\\\\server\\share");
    EXPECT_EQ(RemoveFileSpec("\\\\server"), "\\\\");
    EXPECT_EQ(RemoveFileSpec("D:/Games/HL/hl.exe"), "D:");
    EXPECT_EQ(RemoveFileSpec(std::string("D:\\a\\b\0\\c", 9)), "D:\\a");
}

TEST(RemoveFileSpec, CharactersOfUtf8PathsStayWhole) {
    // 游戏 (games) and a name that ends in a character of four bytes.
    const std::string games = "D:\\\xE6\xB8\xB8\xE6\x88\x8F";
    EXPECT_EQ(RemoveFileSpec(games + "\\hl.exe"), games);
    EXPECT_EQ(RemoveFileSpec(games + "\\\xF0\x9F\x98\x80"), games);
    EXPECT_EQ(BuildCfgPath(games + "\\hl.exe", GameFolder::czero), games + "\\czero\\parlix.cfg");
}

TEST(BuildCfgPath, AppendsTheModFolderAndFileName) {
    EXPECT_EQ(BuildCfgPath("D:\\Games\\HL\\hl.exe", GameFolder::cstrike),
              "D:\\Games\\HL\\cstrike\\parlix.cfg");
    EXPECT_EQ(BuildCfgPath("D:\\Games\\HL\\hl.exe", GameFolder::czero),
              "D:\\Games\\HL\\czero\\parlix.cfg");
    EXPECT_EQ(BuildCfgPath("", GameFolder::cstrike), "\\cstrike\\parlix.cfg");
    EXPECT_EQ(BuildCfgPath("hl.exe", GameFolder::cstrike), "\\cstrike\\parlix.cfg");
}

TEST(BuildCfgPath, ARootGetsNoSecondBackslash) {
    EXPECT_EQ(BuildCfgPath("C:\\hl.exe", GameFolder::cstrike), "C:\\cstrike\\parlix.cfg");
    // "\" + "\cstrike" would be the network share \\cstrike.
    EXPECT_EQ(BuildCfgPath("\\hl.exe", GameFolder::czero), "\\czero\\parlix.cfg");
}
