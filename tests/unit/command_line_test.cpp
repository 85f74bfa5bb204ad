#include "hook/command_line.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;
Args Split(std::string_view line) { return SplitCommandLine(line, "unused.exe"); }

TEST(SplitCommandLine, ProgramNameGroupsByQuotesWithoutEscapes) {
    EXPECT_EQ(Split("\"C:\\Half Life\\hl.exe\" -game czero"), (Args{"C:\\Half Life\\hl.exe", "-game", "czero"}));
    EXPECT_EQ(Split("\"C:\\dir\\\" czero"), (Args{"C:\\dir\\", "czero"}));
    EXPECT_EQ(Split(" czero"), (Args{"", "czero"}));
    EXPECT_EQ(Split("hl.exe\tczero"), (Args{"hl.exe", "czero"}));
}

TEST(SplitCommandLine, ArgumentsByBlanksQuotesAndBackslashes) {
    EXPECT_EQ(Split("p  a \t b  "), (Args{"p", "a", "b"}));
    EXPECT_EQ(Split("p \"-game czero\" a\"b c\"d \"\""), (Args{"p", "-game czero", "ab cd", ""}));
    EXPECT_EQ(Split(R"(p a\\b c\d e\\)"), (Args{"p", R"(a\\b)", R"(c\d)", R"(e\\)"}));
    EXPECT_EQ(Split(R"(p a\"b a\\"b c" a\\\"b a\\\\"b c")"), (Args{"p", "a\"b", R"(a\b c)", R"(a\"b)", R"(a\\b c)"}));
    EXPECT_EQ(Split(R"(p "say ""hi"" now" a""b)"), (Args{"p", "say \"hi\" now", "ab"}));
    EXPECT_EQ(Split("p \"open to the end"), (Args{"p", "open to the end"}));
}

TEST(SplitCommandLine, EmptyLineSplitsTheExecutablePath) {
    EXPECT_EQ(SplitCommandLine("", "C:\\Half Life\\hl.exe"), (Args{"C:\\Half", "Life\\hl.exe"}));
    EXPECT_EQ(SplitCommandLine("", ""), (Args{""}));
}

}  // namespace
