#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "host/host_texts.h"

namespace {

constexpr HostLanguage kLanguages[] = {HostLanguage::English, HostLanguage::SimplifiedChinese};

TEST(HostLanguage, SimplifiedChineseOnlyForAChineseInterfaceInSimplifiedScript) {
    for (std::uint16_t zh : {0x0804, 0x1004, 0x0004})
        EXPECT_EQ(HostLanguageFor(zh), HostLanguage::SimplifiedChinese) << std::hex << zh;
    // Traditional script, English and every other language: English.
    for (std::uint16_t other : {0x0404, 0x0C04, 0x1404, 0x7C04, 0x0409, 0x0809, 0x0411, 0x0412, 0x0000, 0xFFFF})
        EXPECT_EQ(HostLanguageFor(other), HostLanguage::English) << std::hex << other;
}

// The "{N}" markers of a text, sorted: both languages must take the same arguments.
std::vector<std::string> Markers(std::string_view text) {
    std::vector<std::string> markers;
    for (std::size_t i = 0; i + 2 < text.size(); ++i)
        if (text[i] == '{' && std::isdigit(static_cast<unsigned char>(text[i + 1])) && text[i + 2] == '}')
            markers.emplace_back(text.substr(i, 3));
    std::sort(markers.begin(), markers.end());
    return markers;
}

// The access key of a control text ("&S" gives 's'), 0 when it has none.
char AccessKey(std::string_view text) {
    const std::size_t at = text.find('&');
    if (at == std::string_view::npos || at + 1 >= text.size()) return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(text[at + 1])));
}

bool HasNonAscii(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

TEST(HostTexts, EveryTextHasBothLanguagesWithTheSameArgumentsAndAccessKeys) {
    for (int i = 0; i < kHostTextCount; ++i) {
        const HostText id = static_cast<HostText>(i);
        SCOPED_TRACE(i);
        const std::string_view english = Text(id, HostLanguage::English);
        const std::string_view chinese = Text(id, HostLanguage::SimplifiedChinese);
        ASSERT_FALSE(english.empty());
        ASSERT_FALSE(chinese.empty());
        EXPECT_FALSE(HasNonAscii(english)) << english;
        if (id != HostText::Caption) {
            EXPECT_TRUE(HasNonAscii(chinese)) << "not translated: " << chinese;
        }
        EXPECT_EQ(Markers(english), Markers(chinese)) << english << " / " << chinese;
        EXPECT_EQ(AccessKey(english), AccessKey(chinese)) << english << " / " << chinese;
    }
}

TEST(HostTexts, UsageNamesEverySwitchInBothLanguages) {
    for (HostLanguage language : kLanguages) {
        const std::string_view usage = Text(HostText::Usage, language);
        for (const char* option : {"--minimized", "--setup-game", "--remove-game-setup", "--log", "--help"})
            EXPECT_NE(usage.find(option), std::string_view::npos) << option;
    }
}

TEST(HostTexts, FormatPutsTheArgumentsInPlaceOfTheirMarkers) {
    EXPECT_EQ(FormatText("{2} then {1}, {1}", {"a", "b"}), "b then a, a");
    EXPECT_EQ(FormatText("{3} has no argument", {"a"}), "{3} has no argument");
    EXPECT_EQ(FormatText("{1}", {"{2}", "x"}), "{2}") << "an argument is not searched for markers";
    EXPECT_EQ(FormatText("{ {1 1} {", {"x"}), "{ {1 1} {");
    EXPECT_EQ(Text(HostText::Caption, HostLanguage::SimplifiedChinese, {"1.6"}), "Parlix 1.6");
}

}  // namespace
