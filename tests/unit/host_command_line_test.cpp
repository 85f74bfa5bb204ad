#include <gtest/gtest.h>

#include "host/host_command_line.h"

namespace {

constexpr HostLanguage kEn = HostLanguage::English;

TEST(HostCommandLine, SwitchesAndTheirPrecedence) {
    EXPECT_EQ(ParseHostCommandLine({}, kEn).action, HostAction::Run);
    EXPECT_FALSE(ParseHostCommandLine({}, kEn).minimized);
    for (const char* help : {"--help", "-h", "/?"}) EXPECT_EQ(ParseHostCommandLine({help}, kEn).action, HostAction::Help);
    EXPECT_EQ(ParseHostCommandLine({"--setup-game"}, kEn).action, HostAction::SetUpGame);
    // Help wins over set-up in either order: asking for help never writes files.
    EXPECT_EQ(ParseHostCommandLine({"--setup-game", "--help"}, kEn).action, HostAction::Help);
    EXPECT_EQ(ParseHostCommandLine({"--help", "--setup-game"}, kEn).action, HostAction::Help);
    EXPECT_EQ(ParseHostCommandLine({"--remove-game-setup"}, kEn).action, HostAction::RemoveGameSetUp);
    EXPECT_EQ(ParseHostCommandLine({"--remove-game-setup", "-h"}, kEn).action, HostAction::Help);

    HostOptions options = ParseHostCommandLine({"--minimized", "--log", "C:\\t\\host.log"}, kEn);
    EXPECT_EQ(options.action, HostAction::Run);
    EXPECT_TRUE(options.minimized);
    EXPECT_EQ(options.logPath, "C:\\t\\host.log");
    EXPECT_EQ(options.error, "");
}

TEST(HostCommandLine, RefusesWhatItDoesNotKnowWithTheReason) {
    HostOptions unknown = ParseHostCommandLine({"--minimized", "--setup"}, kEn);
    EXPECT_EQ(unknown.action, HostAction::Help);
    EXPECT_EQ(unknown.error, "Unknown option: --setup");
    HostOptions noFile = ParseHostCommandLine({"--log"}, kEn);
    EXPECT_EQ(noFile.action, HostAction::Help);
    EXPECT_NE(noFile.error.find("--log"), std::string::npos);
    EXPECT_EQ(ParseHostCommandLine({"--log", ""}, kEn).action, HostAction::Help);
    EXPECT_EQ(ParseHostCommandLine({"--x"}, HostLanguage::SimplifiedChinese).error, "未知选项：--x");
}

}  // namespace
