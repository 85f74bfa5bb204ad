#include "chatbox/text_limit.h"

#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"

namespace {

const std::u16string kNi = u"\u4f60";          // 3 bytes of UTF-8
const std::u16string kSmile = u"\U0001F600";   // a surrogate pair, 4 bytes

TEST(Utf8, ConvertsBothWaysAndReplacesWhatIsMalformed) {
    const std::string mixed = "ok \xE4\xBD\xA0\xE5\xA5\xBD \xC3\xA9 \xF0\x9F\x98\x80";
    EXPECT_EQ(Utf16FromUtf8(mixed), u"ok \u4f60\u597d \u00e9 \U0001F600");
    EXPECT_EQ(Utf8FromUtf16(Utf16FromUtf8(mixed)), mixed);
    EXPECT_EQ(Utf8Length(Utf16FromUtf8(mixed)), mixed.size());
    // A cut character, an overlong form, an encoded surrogate and a stray
    // continuation byte each become U+FFFD; nothing is dropped silently.
    EXPECT_EQ(Utf16FromUtf8("a\xE4\xBD"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf16FromUtf8("\x80z"), u"\uFFFDz");
    EXPECT_EQ(Utf16FromUtf8(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
    // An unpaired surrogate of the wide text is U+FFFD, three bytes.
    EXPECT_EQ(Utf8FromUtf16(u"x\xD800y\xDC00"), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
    EXPECT_EQ(Utf8Length(u"x\xD800"), 4u);
}

TEST(Utf8PrefixLength, NeverEndsInsideACharacter) {
    const std::string text = "ab\xE4\xBD\xA0\xF0\x9F\x98\x80";  // 2 + 3 + 4 bytes
    EXPECT_EQ(Utf8PrefixLength(text, 100), 9u);
    EXPECT_EQ(Utf8PrefixLength(text, 9), 9u);
    EXPECT_EQ(Utf8PrefixLength(text, 8), 5u);
    EXPECT_EQ(Utf8PrefixLength(text, 4), 2u);
    EXPECT_EQ(Utf8PrefixLength(text, 0), 0u);
    EXPECT_EQ(Utf8PrefixLength("a\xE4\xBD", 3), 3u);  // malformed bytes stand alone
}

TEST(ExcessOfText, TakesOutTheLastInsertedCharactersBeforeTheCaretOfAOnePartText) {
    std::u16string thirtyThree;
    for (int i = 0; i < 33; ++i) thirtyThree += kNi;  // 99 bytes: fits
    EXPECT_EQ(ExcessOfText(thirtyThree, 33, 1), std::nullopt);
    // A 34th character typed at the end does not fit and goes again.
    EXPECT_EQ(ExcessOfText(thirtyThree + kNi, 34, 1), (UnitRange{33, 34}));
    // A letter still fits in the last byte.
    EXPECT_EQ(ExcessOfText(thirtyThree + u"a", 34, 1), std::nullopt);
    // Pasted in the middle: what lies after the caret stays, the paste is cut.
    const std::u16string pasted = u"abc" + std::u16string(120, u'x') + u"def";
    EXPECT_EQ(ExcessOfText(pasted, 123, 1), (UnitRange{97, 123}));
    // 98 bytes and then a pair: the pair goes whole, not half of it.
    const std::u16string pair = std::u16string(98, u'a') + kSmile;
    EXPECT_EQ(ExcessOfText(pair, 100, 1), (UnitRange{98, 100}));
    EXPECT_EQ(ExcessOfText(pair, 99, 1), (UnitRange{98, 100}));  // a caret inside the pair
    // Text set as a whole, the caret at its start: the end goes.
    EXPECT_EQ(ExcessOfText(std::u16string(150, u'a'), 0, 1), (UnitRange{100, 150}));
    EXPECT_EQ(ExcessOfText(std::u16string(150, u'a'), 500, 1), (UnitRange{100, 150}));
}

TEST(ExcessOfText, AMessageTakesThreePartsAndNoMore) {
    std::u16string ninetyNine;
    for (int i = 0; i < 99; ++i) ninetyNine += kNi;  // three parts of 33 characters
    EXPECT_EQ(ExcessOfText(ninetyNine, 99), std::nullopt);
    EXPECT_EQ(ExcessOfText(ninetyNine + kNi, 100), (UnitRange{99, 100}));
    EXPECT_EQ(ExcessOfText(std::u16string(300, u'a'), 300), std::nullopt);
    EXPECT_EQ(ExcessOfText(std::u16string(301, u'a'), 301), (UnitRange{300, 301}));
    // Typed into the first part, a character that would make a fourth part goes
    // again; what lies after the caret stays.
    EXPECT_EQ(ExcessOfText(u"b" + std::u16string(300, u'a'), 1), (UnitRange{0, 1}));
    // A text set as a whole keeps its first three parts.
    EXPECT_EQ(ExcessOfText(std::u16string(400, u'a'), 0), (UnitRange{300, 400}));
    // A long paste at the end, or before a long rest, goes in one pass.
    EXPECT_EQ(ExcessOfText(std::u16string(20000, u'a'), 20000), (UnitRange{300, 20000}));
    EXPECT_EQ(ExcessOfText(std::u16string(20000, u'a'), 100), (UnitRange{300, 20000})) << "the rest alone is too long";
    const std::u16string words = u"ab " + std::u16string(20000, u'x');
    EXPECT_EQ(ExcessOfText(words, 20003), (UnitRange{300, 20003}));
}

TEST(RoomToShow, AppearsWhenThirtyOrFewerBytesAreLeft) {
    EXPECT_EQ(RoomToShow(0), std::nullopt);
    EXPECT_EQ(RoomToShow(69), std::nullopt);
    EXPECT_EQ(RoomToShow(70), 30u);
    EXPECT_EQ(RoomToShow(99), 1u);
    EXPECT_EQ(RoomToShow(100), 0u);
    EXPECT_EQ(RoomToShow(140), 0u);
}

TEST(PartsLabel, CountsPartsFromTheSecondAndTheRoomInTheLastOne) {
    const std::u16string pattern = u"\u8fd8\u5269 %1 \u5b57\u8282";
    auto label = [&](const std::string& text) { return std::u16string(PartsLabelFor(text, pattern).View()); };
    EXPECT_EQ(label(""), u"");
    EXPECT_EQ(label(std::string(100, 'a')), u"") << "one full part: a second may follow";
    EXPECT_EQ(label(std::string(101, 'a')), u"2/3");
    EXPECT_EQ(label(std::string(269, 'a')), u"3/3");
    EXPECT_EQ(label(std::string(270, 'a')), u"3/3 \u8fd8\u5269 30 \u5b57\u8282");
    EXPECT_EQ(label(std::string(293, 'a')), u"3/3 \u8fd8\u5269 7 \u5b57\u8282");
    EXPECT_EQ(label(std::string(300, 'a')), u"3/3 \u8fd8\u5269 0 \u5b57\u8282");
    // The room counts from where the last part starts, after a break.
    EXPECT_EQ(label(std::string(90, 'a') + " " + std::string(90, 'b') + " " + std::string(80, 'c')),
              u"3/3 \u8fd8\u5269 20 \u5b57\u8282");
    // A pattern without the mark, or too long for the buffer, is shown as far as it goes.
    EXPECT_EQ(PartsLabelFor(std::string(300, 'a'), u"full").View(), u"3/3 full");
    const PartsLabel cut = PartsLabelFor(std::string(300, 'a'), std::u16string(100, u'%'));
    EXPECT_EQ(cut.length, PartsLabel::kCapacity - 1);
    EXPECT_EQ(cut.units[cut.length], u'\0');
}

TEST(Utf8IfCommitted, PutsTheCompositionInPlaceOfTheSelection) {
    EXPECT_EQ(Utf8IfCommitted(u"abcd", 1, 3, u"\u4f60Y"), "a\xE4\xBD\xA0Yd");
    EXPECT_EQ(Utf8IfCommitted(u"abcd", 4, 4, u"X"), "abcdX");
    EXPECT_EQ(Utf8IfCommitted(u"abcd", 1, 3, u""), "abcd") << "nothing composed: the selection stays";
    EXPECT_EQ(Utf8IfCommitted(u"ab", 5, 9, u"X"), "abX");
}

}  // namespace
