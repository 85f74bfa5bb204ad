#include "common/ascii.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace std::string_view_literals;

TEST(EqualIgnoringAsciiCase, OnlyTheTwentySixLettersFold) {
    EXPECT_TRUE(EqualIgnoringAsciiCase("CStrike.exe", "cstrike.EXE"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("CStrike.exe", "CStrike.ex"));
    // The neighbours of the letters in the table: @ [ ` { are no letters.
    EXPECT_FALSE(EqualIgnoringAsciiCase("@", "`"));
    EXPECT_FALSE(EqualIgnoringAsciiCase("[", "{"));
    // Bytes of 0x80 and above stand for themselves: no code page's letters fold.
    EXPECT_FALSE(EqualIgnoringAsciiCase("\xC9", "\xE9"));
    EXPECT_TRUE(EqualIgnoringAsciiCase("\xC9X", "\xC9x"));
    EXPECT_TRUE(EqualIgnoringAsciiCase("", ""));
}

TEST(EqualIgnoringAsciiCase, TextsOfDifferentCharacterTypesMeetUnitByUnit) {
    EXPECT_TRUE(EqualIgnoringAsciiCase(u"Count"sv, "COUNT"sv));
    EXPECT_FALSE(EqualIgnoringAsciiCase(u"\u00C9"sv, u"\u00E9"sv));
    // A unit above 0xFF never equals the byte of its low half.
    EXPECT_FALSE(EqualIgnoringAsciiCase(u"\u0143"sv, "C"sv));
    // A UTF-8 byte is compared as its value, never sign-extended.
    EXPECT_TRUE(EqualIgnoringAsciiCase(u"\u00C3"sv, "\xC3"sv));
}
