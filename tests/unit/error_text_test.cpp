#include "chatbox/error_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(ErrorCodeText, TheCodeSignedInParentheses) {
    EXPECT_EQ(ErrorCodeText(1234), "(1234)");
    EXPECT_EQ(ErrorCodeText(0), "(0)");
    // HRESULT-style codes read as the negative numbers they are.
    EXPECT_EQ(ErrorCodeText(-2147024891), "(-2147024891)");
    EXPECT_EQ(ErrorCodeText(std::numeric_limits<std::int32_t>::min()), "(-2147483648)");
}
