#include "settings/layout_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Layouts as (handle, description) pairs; an empty description is a layout that is
// not an IME. Failures of the platform calls can be asked for.
class FakeLayoutSource : public LayoutSource {
public:
    std::vector<std::pair<std::uintptr_t, std::string>> layouts;
    int countOverride = -1000;        // what CountLayouts reports instead, when set
    int listLimit = -1;               // ListLayouts stores at most this many, when set
    std::map<std::uintptr_t, int> fetchResult;  // Description returns this instead
    std::vector<int> fetchSizes;      // the size given to each Description call

    int CountLayouts() override {
        return countOverride != -1000 ? countOverride : static_cast<int>(layouts.size());
    }
    int ListLayouts(std::uintptr_t* buffer, int count) override {
        int n = std::min(count, static_cast<int>(layouts.size()));
        if (listLimit >= 0) n = std::min(n, listLimit);
        for (int i = 0; i < n; ++i) buffer[i] = layouts[static_cast<std::size_t>(i)].first;
        return n;
    }
    int DescriptionLength(std::uintptr_t hkl) override {
        const std::string* d = Find(hkl);
        return d ? static_cast<int>(d->size()) : 0;
    }
    int Description(std::uintptr_t hkl, char* buffer, int size) override {
        fetchSizes.push_back(size);
        const std::string* d = Find(hkl);
        if (!d) return 0;
        const int n = std::min(size, static_cast<int>(d->size()));
        std::memcpy(buffer, d->data(), static_cast<std::size_t>(n));
        if (const auto r = fetchResult.find(hkl); r != fetchResult.end()) return r->second;
        return n;
    }

private:
    const std::string* Find(std::uintptr_t hkl) const {
        for (const auto& [h, d] : layouts)
            if (h == hkl) return &d;
        return nullptr;
    }
};

// Handles as the platform gives them, with the high bits used on 64-bit builds.
const std::uintptr_t kUs = 0x04090409;
const std::uintptr_t kPinyin = static_cast<std::uintptr_t>(0xE00E0804u);
const std::uintptr_t kWubi = static_cast<std::uintptr_t>(0xE00F0804u);
const std::uintptr_t kIme = ~std::uintptr_t{0} - 0x1234;

TEST(CLayoutCatalog, KeepsOnlyLayoutsWithADescriptionInPlatformOrder) {
    FakeLayoutSource source;
    source.layouts = {{kUs, ""}, {kPinyin, "Chinese (Simplified) - Pinyin"}, {0x04070407, ""},
                      {kWubi, "Wubi"}, {kIme, "Japanese IME"}};
    CLayoutCatalog catalog(source);
    ASSERT_EQ(catalog.Entries().size(), 3u);
    EXPECT_EQ(catalog.Entries()[0].hkl, kPinyin);
    EXPECT_EQ(catalog.Entries()[0].description, "Chinese (Simplified) - Pinyin");
    EXPECT_EQ(catalog.Entries()[1].hkl, kWubi);
    EXPECT_EQ(catalog.Entries()[2].hkl, kIme);
    EXPECT_EQ(catalog.FindByDescription("Japanese IME"), kIme);
    // The fetch is given the length, not the length with the terminator.
    EXPECT_EQ(source.fetchSizes, (std::vector<int>{29, 4, 12}));
}

TEST(CLayoutCatalog, FailuresLeaveOutOnlyWhatTheyConcern) {
    FakeLayoutSource none;
    EXPECT_TRUE(CLayoutCatalog(none).Entries().empty());
    none.layouts = {{kUs, ""}, {0x04070407, ""}};
    CLayoutCatalog noIme(none);
    EXPECT_TRUE(noIme.Entries().empty());
    EXPECT_EQ(noIme.FindByDescription(""), 0u);
    EXPECT_EQ(noIme.FindByDescription("US"), 0u);

    FakeLayoutSource negative;
    negative.layouts = {{kPinyin, "Pinyin"}};
    negative.countOverride = -1;
    EXPECT_TRUE(CLayoutCatalog(negative).Entries().empty());

    FakeLayoutSource fewer;
    fewer.layouts = {{kPinyin, "Pinyin"}, {kWubi, "Wubi"}};
    fewer.listLimit = 1;  // the number returned, not the count asked for, is used
    ASSERT_EQ(CLayoutCatalog(fewer).Entries().size(), 1u);

    FakeLayoutSource failing;
    failing.layouts = {{kPinyin, "Pinyin"}, {kWubi, "Wubi"}, {kIme, "IME"}};
    failing.fetchResult[kPinyin] = 0;
    failing.fetchResult[kIme] = -5;
    CLayoutCatalog catalog(failing);
    ASSERT_EQ(catalog.Entries().size(), 1u);
    EXPECT_EQ(catalog.Entries()[0].hkl, kWubi);
}

TEST(CLayoutCatalog, DescriptionIsTheBytesFetchedAndNeverEmpty) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, "Pinyin"}, {kWubi, std::string("\0Wubi", 5)}, {kIme, std::string("IME\0x", 5)}};
    source.fetchResult[kPinyin] = 3;  // a short fetch keeps what was fetched
    CLayoutCatalog catalog(source);
    ASSERT_EQ(catalog.Entries().size(), 2u);
    EXPECT_EQ(catalog.Entries()[0].description, "Pin");
    EXPECT_EQ(catalog.Entries()[1].description, "IME");
    EXPECT_EQ(catalog.FindByDescription(""), 0u);
    EXPECT_EQ(catalog.FindByDescription("Pin"), kPinyin);
    EXPECT_EQ(catalog.FindByDescription("Pinyin"), 0u);
}

TEST(FindByDescription, LatinCaseIsIgnoredNothingElseIs) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, "Chinese (Simplified) - Microsoft Pinyin"}, {kWubi, "Same"}, {kIme, "Same"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(catalog.FindByDescription("CHINESE (simplified) - microsoft PINYIN"), kPinyin);
    EXPECT_EQ(catalog.FindByDescription("Chinese (Simplified) - Microsoft Pinyin "), 0u);
    EXPECT_EQ(catalog.FindByDescription(" Chinese (Simplified) - Microsoft Pinyin"), 0u);
    EXPECT_EQ(catalog.FindByDescription("Chinese (Simplified) - Microsoft"), 0u);
    EXPECT_EQ(catalog.FindByDescription("same"), kWubi);  // the first listed wins
    EXPECT_EQ(catalog.FindByDescription(""), 0u);
}

// A code page in which 0x81..0xFE lead a double-byte character whose upper-case
// form, for the test, clears bit 5 of the trail byte.
bool TestLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
unsigned TestUpper(unsigned c) { return c & ~0x20u; }

TEST(FindByDescription, DoubleByteCharactersCompareAsOneUnit) {
    FakeLayoutSource source;
    // Under the rules 0x81 0x61 is one character: its trail byte is not a letter and
    // is mapped only through the code page's upper-case form.
    source.layouts = {{kPinyin, "\xC6\xB4\xD2\xF4 IME"}, {kWubi, "x\x81" "aZ"}, {kIme, "\xE0" "A"}};
    CLayoutCatalog catalog(source);
    const MultibyteRules rules{TestLead, TestUpper};
    EXPECT_EQ(catalog.FindByDescription("\xC6\xB4\xD2\xF4 ime", rules), kPinyin);
    EXPECT_EQ(catalog.FindByDescription("\xC6\xB4\xD2\xF4 ime"), kPinyin);
    EXPECT_EQ(catalog.FindByDescription("X\x81" "Az", rules), kWubi);
    // Without the rules 'a' after 0x81 is a letter of its own and folds as such.
    EXPECT_EQ(catalog.FindByDescription("X\x81" "Az"), kWubi);
    // With them the trail byte belongs to the character: 0x81 0x41 is another one
    // before the upper-case mapping, the same after it.
    EXPECT_EQ(catalog.FindByDescription("x\x81" "AZ", rules), kWubi);
    const MultibyteRules noUpper{TestLead, nullptr};
    EXPECT_EQ(catalog.FindByDescription("x\x81" "AZ", noUpper), 0u);
    EXPECT_EQ(catalog.FindByDescription("x\x81" "az", noUpper), kWubi);
    // Under the rules the letter after a lead byte is a trail byte and is not folded.
    EXPECT_EQ(catalog.FindByDescription("\xE0" "a", noUpper), 0u);
    EXPECT_EQ(catalog.FindByDescription("\xE0" "a"), kIme);
}

TEST(FindByDescription, LeadByteAtTheEndStandsAlone) {
    FakeLayoutSource source;
    source.layouts = {{kWubi, "ab\x81"}};
    CLayoutCatalog catalog(source);
    const MultibyteRules rules{TestLead, TestUpper};
    // A text that is not followed by a NUL in memory: nothing past its end is read.
    const char bytes[] = {'A', 'B', '\x81', 'a', 'b'};
    EXPECT_EQ(catalog.FindByDescription(std::string_view(bytes, 3), rules), kWubi);
    EXPECT_EQ(catalog.FindByDescription(std::string_view(bytes, 2), rules), 0u);
    EXPECT_EQ(catalog.FindByDescription(std::string_view(bytes, 4), rules), 0u);
}

}  // namespace
