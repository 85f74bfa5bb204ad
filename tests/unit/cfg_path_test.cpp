#include "chatbox/cfg_path.h"

#include <gtest/gtest.h>

namespace {

// Lead bytes of code page 936.
bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

}  // namespace

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

TEST(RemoveFileSpec, TrailBytesOfTwoByteCharactersAreNoSeparators) {
    // 0x81 0x5C is one character in code page 936, not a lead byte and a backslash.
    const std::string path = "D:\\Games\\\x81\x5Chl.exe";
    EXPECT_EQ(RemoveFileSpec(path, IsGbkLeadByte), "D:\\Games");
    EXPECT_EQ(RemoveFileSpec(path), "D:\\Games\\\x81");
    EXPECT_EQ(RemoveFileSpec("D:\\\xC4\xE3\\hl.exe", IsGbkLeadByte), "D:\\\xC4\xE3");
    // A lead byte at the very end stands alone.
    EXPECT_EQ(RemoveFileSpec("D:\\a\\\x81", IsGbkLeadByte), "D:\\a");
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
    // A final 0x5C that is a trail byte keeps the separator.
    EXPECT_EQ(BuildCfgPath("D:\\\x81\x5C\\hl.exe", GameFolder::cstrike, IsGbkLeadByte),
              "D:\\\x81\x5C\\cstrike\\parlix.cfg");
}
