#include <gtest/gtest.h>

#include "host/host_command_line.h"

namespace {

TEST(HostCommandLine, SwitchesAndTheirPrecedence) {
    EXPECT_EQ(ParseHostCommandLine({}).action, HostAction::Run);
    EXPECT_FALSE(ParseHostCommandLine({}).minimized);
    for (const char* help : {"--help", "-h", "/?"}) EXPECT_EQ(ParseHostCommandLine({help}).action, HostAction::Help);
    EXPECT_EQ(ParseHostCommandLine({"--setup-game"}).action, HostAction::SetUpGame);
    // Help wins over set-up in either order: asking for help never writes files.
    EXPECT_EQ(ParseHostCommandLine({"--setup-game", "--help"}).action, HostAction::Help);
    EXPECT_EQ(ParseHostCommandLine({"--help", "--setup-game"}).action, HostAction::Help);

    HostOptions options = ParseHostCommandLine({"--minimized", "--log", "C:\\t\\host.log"});
    EXPECT_EQ(options.action, HostAction::Run);
    EXPECT_TRUE(options.minimized);
    EXPECT_EQ(options.logPath, "C:\\t\\host.log");
    EXPECT_EQ(options.error, "");
}

TEST(HostCommandLine, RefusesWhatItDoesNotKnowWithTheReason) {
    HostOptions unknown = ParseHostCommandLine({"--minimized", "--setup"});
    EXPECT_EQ(unknown.action, HostAction::Help);
    EXPECT_EQ(unknown.error, "Unknown option: --setup");
    HostOptions noFile = ParseHostCommandLine({"--log"});
    EXPECT_EQ(noFile.action, HostAction::Help);
    EXPECT_NE(noFile.error.find("--log"), std::string::npos);
    EXPECT_EQ(ParseHostCommandLine({"--log", ""}).action, HostAction::Help);
}

}  // namespace
