#include "hook/game_detection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(IsGameExecutable, AcceptsTheThreeNamesInAnyLetterCase) {
    for (const char* name : {"CStrike.exe", "cstrike.exe", "CSTRIKE.EXE", "CZero.exe", "czero.EXE", "HL.exe",
                             "hl.exe", "HL.EXE", "hL.Exe"})
        EXPECT_TRUE(IsGameExecutable(name)) << name;
}

TEST(IsGameExecutable, RejectsEveryOtherName) {
    for (const char* name : {"", "HL.exe ", " HL.exe", "HL.ex", "CStrike.exe ", "CZero.ex", "hl2.exe", "HL_exe",
                             "explorer.exe", "CStrike.com", "CStrike"})
        EXPECT_FALSE(IsGameExecutable(name)) << name;
    // Only ASCII letters fold: a byte of 0x80 and above is not a letter's other case.
    EXPECT_FALSE(IsGameExecutable("H\xCC.exe"));
    EXPECT_FALSE(IsGameExecutable(std::string("HL.ex\0", 6)));
}

GameFolder Decide(std::string_view name, std::vector<std::string> arguments) {
    return DecideGameFolder(name, arguments);
}

TEST(DecideGameFolder, TheExecutableNameDecidesFirst) {
    EXPECT_EQ(Decide("CStrike.exe", {"hl", "-game", "czero"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("cstrike.EXE", {"hl", "czero"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("CZero.exe", {"hl"}), GameFolder::czero);
    EXPECT_EQ(Decide("CZERO.exe", {}), GameFolder::czero);
    EXPECT_EQ(Decide("CZero.exe", {"hl", "-game", "cstrike"}), GameFolder::czero);
}

TEST(DecideGameFolder, OtherNamesScanTheArgumentsForTheMarker) {
    EXPECT_EQ(Decide("HL.exe", {"hl.exe", "-game", "czero"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl.exe", "-game", "CZero"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl.exe", "-game", "cstrike"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"hl.exe"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {}), GameFolder::cstrike);
    // No -game switch is needed, and the marker may stand anywhere.
    EXPECT_EQ(Decide("HL.exe", {"hl.exe", "-console", "-w", "800", "czero"}), GameFolder::czero);
    // A name of a game executable's length that differs still reaches the scan.
    EXPECT_EQ(Decide("XStrike.exe", {"x", "czero"}), GameFolder::czero);
    EXPECT_EQ(Decide("", {"x", "czero"}), GameFolder::czero);
}

TEST(DecideGameFolder, MarkerIsTheFirstFiveBytesOfAnArgument) {
    EXPECT_EQ(Decide("HL.exe", {"hl", "czer"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"hl", "czeroXYZ"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl", "czero_beta"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl", " czero"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"hl", "-game czero"}), GameFolder::cstrike);  // one quoted argument
    EXPECT_EQ(Decide("HL.exe", {"hl", ""}), GameFolder::cstrike);
    // A double-byte character within the first five bytes never matches a marker letter.
    EXPECT_EQ(Decide("HL.exe", {"hl", "cz\xD6\xD0o"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"hl", "\xC3\xA7zero"}), GameFolder::cstrike);
    // Bytes after the marker are not looked at, multibyte or not.
    EXPECT_EQ(Decide("HL.exe", {"hl", "czero\xD6\xD0"}), GameFolder::czero);
}

TEST(DecideGameFolder, TheProgramNameIsNeverCompared) {
    EXPECT_EQ(Decide("HL.exe", {"czero"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"czero.exe", "-game", "cstrike"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"czero.exe", "x", "CZERO"}), GameFolder::czero);
}

}  // namespace
