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

TEST(ExcessOfText, TakesOutTheLastInsertedCharactersBeforeTheCaret) {
    std::u16string thirtyThree;
    for (int i = 0; i < 33; ++i) thirtyThree += kNi;  // 99 bytes: fits
    EXPECT_EQ(ExcessOfText(thirtyThree, 33), std::nullopt);
    // A 34th character typed at the end does not fit and goes again.
    EXPECT_EQ(ExcessOfText(thirtyThree + kNi, 34), (UnitRange{33, 34}));
    // A letter still fits in the last byte.
    EXPECT_EQ(ExcessOfText(thirtyThree + u"a", 34), std::nullopt);
    // Pasted in the middle: what lies after the caret stays, the paste is cut.
    const std::u16string pasted = u"abc" + std::u16string(120, u'x') + u"def";
    EXPECT_EQ(ExcessOfText(pasted, 123), (UnitRange{97, 123}));
    // 98 bytes and then a pair: the pair goes whole, not half of it.
    const std::u16string pair = std::u16string(98, u'a') + kSmile;
    EXPECT_EQ(ExcessOfText(pair, 100), (UnitRange{98, 100}));
    EXPECT_EQ(ExcessOfText(pair, 99), (UnitRange{98, 100}));  // a caret inside the pair
    // Text set as a whole, the caret at its start: the end goes.
    EXPECT_EQ(ExcessOfText(std::u16string(150, u'a'), 0), (UnitRange{100, 150}));
    EXPECT_EQ(ExcessOfText(std::u16string(150, u'a'), 500), (UnitRange{100, 150}));
}

TEST(RoomToShow, AppearsWhenThirtyOrFewerBytesAreLeft) {
    EXPECT_EQ(RoomToShow(0), std::nullopt);
    EXPECT_EQ(RoomToShow(69), std::nullopt);
    EXPECT_EQ(RoomToShow(70), 30u);
    EXPECT_EQ(RoomToShow(99), 1u);
    EXPECT_EQ(RoomToShow(100), 0u);
    EXPECT_EQ(RoomToShow(140), 0u);
}

TEST(RoomLeftText, PutsTheNumberInPlaceOfTheMark) {
    EXPECT_EQ(RoomLeftText(u"\u8fd8\u5269 %1 \u5b57\u8282", 7), u"\u8fd8\u5269 7 \u5b57\u8282");
    EXPECT_EQ(RoomLeftText(u"%1 left", 30), u"30 left");
    EXPECT_EQ(RoomLeftText(u"no mark", 0), u"no mark");
}

}  // namespace
