#include "chatbox/say_command.h"

#include <gtest/gtest.h>

TEST(FormatSayCommand, EachModeWrapsTheTextInItsCommand) {
    EXPECT_EQ(FormatSayCommand(0, "hello"), "say \"hello\"");
    EXPECT_EQ(FormatSayCommand(1, "hello"), "say_team \"hello\"");
    EXPECT_EQ(FormatSayCommand(2, "hi"), "rcon say \"hi\"");
    EXPECT_EQ(FormatSayCommand(7, "x"), "rcon say \"x\"");
}

TEST(FormatSayCommand, QuotesAndLineEndsCannotEndTheArgument) {
    EXPECT_EQ(FormatSayCommand(0, "a\"b"), "say \"a'b\"");
    EXPECT_EQ(FormatSayCommand(0, "gg\"; quit; \""), "say \"gg'; quit; '\"");
    EXPECT_EQ(FormatSayCommand(1, "a\r\nquit\nb\r"), "say_team \"a  quit b \"");
}

TEST(FormatSayCommand, EverythingElseIsCopiedAsTyped) {
    EXPECT_EQ(FormatSayCommand(0, "   "), "say \"   \"");
    EXPECT_EQ(FormatSayCommand(0, "100% %s %1"), "say \"100% %s %1\"");
    EXPECT_EQ(FormatSayCommand(0, ""), "say \"\"");
    // UTF-8 as typed: 你好, a character of four bytes, a backslash, a tab.
    const std::string text = "\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80 \\'\t";
    EXPECT_EQ(FormatSayCommand(0, text), "say \"" + text + "\"");
}
