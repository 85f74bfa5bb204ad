#include "chatbox/error_text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

TEST(FinishSystemErrorText, DropsOnlyTheFinalLineBreak) {
    EXPECT_EQ(FinishSystemErrorText("Access is denied.\r\n", 5), "Access is denied.");
    EXPECT_EQ(FinishSystemErrorText("one\r\ntwo\r\n", 5), "one\r\ntwo");
    EXPECT_EQ(FinishSystemErrorText("text\r\n\r\n", 5), "text\r\n");
    EXPECT_EQ(FinishSystemErrorText("text\n", 5), "text\n");
    EXPECT_EQ(FinishSystemErrorText("\r\n", 5), "");
}

TEST(FinishSystemErrorText, NoSystemTextGivesTheSignedCode) {
    EXPECT_EQ(FinishSystemErrorText("", 1234), "(1234)");
    EXPECT_EQ(FinishSystemErrorText("", -2147024891), "(-2147024891)");
}

TEST(FinishSystemErrorText, FixedBufferKeepsToItsSize) {
    std::array<char, 16> buffer{};
    std::strcpy(buffer.data(), "Denied.\r\n");
    EXPECT_EQ(FinishSystemErrorText(buffer.data(), buffer.size(), 9, 5), 7u);
    EXPECT_STREQ(buffer.data(), "Denied.");

    // Room for "(-2147" and its NUL only: the number is cut, never overrun.
    std::array<char, 10> guarded;
    guarded.fill('#');
    EXPECT_EQ(FinishSystemErrorText(guarded.data(), 7, 0, -2147024891), 6u);
    EXPECT_STREQ(guarded.data(), "(-2147");
    EXPECT_EQ(guarded[7], '#');

    // A length claimed past the buffer is held to it.
    std::array<char, 4> small{'a', 'b', 'c', 'd'};
    EXPECT_EQ(FinishSystemErrorText(small.data(), small.size(), 50, 1), 3u);
    EXPECT_STREQ(small.data(), "abc");
    EXPECT_EQ(FinishSystemErrorText(small.data(), 0, 0, 1), 0u);
}
