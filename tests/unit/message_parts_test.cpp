#include "chatbox/message_parts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace {

const std::string kNi = "\xE4\xBD\xA0";         // U+4F60, 3 bytes
const std::string kComma = "\xEF\xBC\x8C";      // U+FF0C, the full-width comma
const std::string kSmile = "\xF0\x9F\x98\x80";  // U+1F600, 4 bytes

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
        end = PartEnd(text, start);
        parts.push_back(text.substr(start, end - start));
    }
    return parts;
}

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(MessageParts, CutsWithoutBreaksAtTheLastWholeCharacter) {
    EXPECT_EQ(Split(std::string(250, 'x')),
              (std::vector<std::string>{std::string(100, 'x'), std::string(100, 'x'), std::string(50, 'x')}));
    // 84 Chinese characters, 252 bytes: 33 characters (99 bytes) fit a part.
    EXPECT_EQ(Split(Repeat(kNi, 84)), (std::vector<std::string>{Repeat(kNi, 33), Repeat(kNi, 33), Repeat(kNi, 18)}));
    // 98 letters and a 4-byte character: the character goes whole into the next part.
    EXPECT_EQ(Split(std::string(98, 'a') + kSmile + "b"),
              (std::vector<std::string>{std::string(98, 'a'), kSmile + "b"}));
    EXPECT_EQ(Split(std::string(100, 'a')), std::vector<std::string>{std::string(100, 'a')});
    EXPECT_TRUE(Split("").empty());
}

TEST(MessageParts, PreferABreakAfterABlankOrPunctuationInTheLastQuarter) {
    // Words of 9 letters and a blank: the last blank within 100 bytes ends the part.
    const std::string words = Repeat("abcdefghi ", 25);
    EXPECT_EQ(PartEnd(words, 0), 100u);
    EXPECT_EQ(PartEnd(words.substr(1), 0), 99u) << "after the blank at 98";
    // The full-width comma of Chinese text, at bytes 81..84.
    const std::string chinese = Repeat(kNi, 27) + kComma + Repeat(kNi, 30);
    EXPECT_EQ(PartEnd(chinese, 0), 84u);
    // An ASCII full stop in the last quarter; a blank before it is too early.
    const std::string early = std::string(40, 'a') + " " + std::string(40, 'b') + "." + std::string(60, 'c');
    EXPECT_EQ(PartEnd(early, 0), 82u);
    const std::string tooEarly = std::string(40, 'a') + " " + std::string(90, 'b');
    EXPECT_EQ(PartEnd(tooEarly, 0), 100u) << "a blank at 41 is no break in the last quarter";
    // An opening bracket belongs to what follows it.
    const std::string bracket = std::string(90, 'a') + "(" + std::string(30, 'b');
    EXPECT_EQ(PartEnd(bracket, 0), 100u);
    // Parts after the first look the same way from their own start.
    EXPECT_EQ(PartEnd(words, 100), 200u);
}

TEST(MessageParts, CountAndLongestMessage) {
    EXPECT_EQ(CountParts(""), 0u);
    EXPECT_EQ(CountParts("hi"), 1u);
    EXPECT_EQ(CountParts(std::string(300, 'x')), 3u);
    EXPECT_EQ(CountParts(std::string(301, 'x')), 4u);
    EXPECT_EQ(CountParts(Repeat(kNi, 99)), 3u);
    EXPECT_EQ(CountParts(Repeat(kNi, 100)), 4u) << "three parts of 33 characters hold 99";
    EXPECT_EQ(MessagePrefixLength(std::string(350, 'x')), 300u);
    EXPECT_EQ(MessagePrefixLength(Repeat(kNi, 120)), 297u);
    EXPECT_EQ(MessagePrefixLength("short"), 5u);
    EXPECT_EQ(LastPartStart(std::string(250, 'x')), 200u);
    EXPECT_EQ(LastPartStart("short"), 0u);
}

}  // namespace
