#include "hook/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

Args Split(std::string_view line) { return SplitCommandLine(line, "C:\\unused.exe"); }

TEST(SplitCommandLine, ProgramNameGroupsByQuotesWithoutEscapes) {
    EXPECT_EQ(Split("hl.exe -game czero"), (Args{"hl.exe", "-game", "czero"}));
    EXPECT_EQ(Split("\"C:\\Games\\Half Life\\hl.exe\" -game czero"),
              (Args{"C:\\Games\\Half Life\\hl.exe", "-game", "czero"}));
    // A backslash before the closing quote does not escape it in the program name.
    EXPECT_EQ(Split("\"C:\\dir\\\" czero"), (Args{"C:\\dir\\", "czero"}));
    // The program name is present even when the line starts with a blank.
    EXPECT_EQ(Split(" czero"), (Args{"", "czero"}));
    EXPECT_EQ(Split("\"\""), (Args{""}));
    EXPECT_EQ(Split("\"unterminated name"), (Args{"unterminated name"}));
    EXPECT_EQ(Split("hl.exe\tczero"), (Args{"hl.exe", "czero"}));
}

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroupArguments) {
    EXPECT_EQ(Split("p  a \t b   "), (Args{"p", "a", "b"}));
    EXPECT_EQ(Split("p \"-game czero\""), (Args{"p", "-game czero"}));
    EXPECT_EQ(Split("p a\"b c\"d e"), (Args{"p", "ab cd", "e"}));
    EXPECT_EQ(Split("p \"\" x"), (Args{"p", "", "x"}));
    EXPECT_EQ(Split("p \"open to the end"), (Args{"p", "open to the end"}));
}

TEST(SplitCommandLine, BackslashesEscapeOnlyBeforeAQuote) {
    EXPECT_EQ(Split(R"(p a\\b c\d)"), (Args{"p", R"(a\\b)", R"(c\d)"}));
    EXPECT_EQ(Split(R"(p a\"b)"), (Args{"p", "a\"b"}));            // 1 -> literal quote
    EXPECT_EQ(Split(R"(p a\\"b c")"), (Args{"p", R"(a\b c)"}));     // 2 -> one, quote toggles
    EXPECT_EQ(Split(R"(p a\\\"b)"), (Args{"p", R"(a\"b)"}));        // 3 -> one and a literal quote
    EXPECT_EQ(Split(R"(p a\\\\"b c")"), (Args{"p", R"(a\\b c)"}));  // 4 -> two, quote toggles
    EXPECT_EQ(Split(R"(p trailing\\)"), (Args{"p", R"(trailing\\)"}));
    EXPECT_EQ(Split(R"(p "C:\dir\\" next)"), (Args{"p", R"(C:\dir\)", "next"}));
}

TEST(SplitCommandLine, DoubledQuoteInsideQuotesIsALiteralQuote) {
    EXPECT_EQ(Split(R"(p "a""b" c)"), (Args{"p", "a\"b", "c"}));
    EXPECT_EQ(Split(R"(p "say ""hi"" now" x)"), (Args{"p", "say \"hi\" now", "x"}));
    // Outside quotes two quotes open and close an empty run.
    EXPECT_EQ(Split(R"(p a""b)"), (Args{"p", "ab"}));
}

TEST(SplitCommandLine, EmptyLineSplitsTheExecutablePath) {
    EXPECT_EQ(SplitCommandLine("", "C:\\Games\\hl.exe"), (Args{"C:\\Games\\hl.exe"}));
    EXPECT_EQ(SplitCommandLine("", "C:\\Half Life\\hl.exe"), (Args{"C:\\Half", "Life\\hl.exe"}));
    EXPECT_EQ(SplitCommandLine("", ""), (Args{""}));
}

TEST(SplitCommandLine, HighBytesPassThrough) {
    EXPECT_EQ(Split("p \xD6\xD0\xCE\xC4 czero\xB0"), (Args{"p", "\xD6\xD0\xCE\xC4", "czero\xB0"}));
}

}  // namespace
