#include "hook/game_detection.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(IsGameExecutable, TheThreeNamesInAnyLetterCaseAndNothingElse) {
    for (const char* name : {"CStrike.exe", "CSTRIKE.EXE", "czero.exe", "CZero.EXE", "HL.exe", "hl.exe", "hL.Exe"})
        EXPECT_TRUE(IsGameExecutable(name)) << name;
    for (const char* name : {"", "HL.exe ", " HL.exe", "HL.ex", "CStrike.exe ", "hl2.exe", "CStrike.com", "H\xCC.exe"})
        EXPECT_FALSE(IsGameExecutable(name)) << name;
}

GameFolder Decide(std::string_view name, std::vector<std::string> arguments) {
    return DecideGameFolder(name, arguments);
}

TEST(DecideGameFolder, ExecutableNameFirstThenTheArguments) {
    EXPECT_EQ(Decide("CStrike.exe", {"hl", "-game", "czero"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("CZERO.exe", {}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl", "-game", "czero"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl", "-game", "CZero"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl", "-game", "cstrike"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"hl"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("XStrike.exe", {"x", "-w", "czero"}), GameFolder::czero);  // anywhere, no -game needed
}

TEST(DecideGameFolder, MarkerIsTheFirstFiveBytesOfAnArgumentAfterTheProgramName) {
    EXPECT_EQ(Decide("HL.exe", {"hl", "czer"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"hl", "czeroXYZ"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"hl", "-game czero"}), GameFolder::cstrike);  // one quoted argument
    EXPECT_EQ(Decide("HL.exe", {"hl", "cz\xD6\xD0o"}), GameFolder::cstrike);  // double-byte inside
    EXPECT_EQ(Decide("HL.exe", {"hl", "czero\xD6\xD0"}), GameFolder::czero);
    EXPECT_EQ(Decide("HL.exe", {"czero"}), GameFolder::cstrike);
    EXPECT_EQ(Decide("HL.exe", {"czero.exe", "-game", "cstrike"}), GameFolder::cstrike);
}

}  // namespace
