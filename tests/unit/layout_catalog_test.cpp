#include "settings/layout_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace {

// (handle, description) pairs; an empty description is a layout that is not an IME.
struct FakeLayoutSource : LayoutSource {
    std::vector<std::pair<std::uintptr_t, std::string>> layouts;
    int count = -1000;                          // CountLayouts reports this instead, when set
    int listLimit = 1000;                       // ListLayouts stores at most this many
    std::map<std::uintptr_t, int> fetchResult;  // Description returns this instead
    std::vector<int> fetchSizes;

    int CountLayouts() override { return count != -1000 ? count : int(layouts.size()); }
    int ListLayouts(std::uintptr_t* buffer, int n) override {
        n = std::min({n, int(layouts.size()), listLimit});
        for (int i = 0; i < n; ++i) buffer[i] = layouts[std::size_t(i)].first;
        return n;
    }
    int DescriptionLength(std::uintptr_t hkl) override { return int(Find(hkl).size()); }
    int Description(std::uintptr_t hkl, char* buffer, int size) override {
        fetchSizes.push_back(size);
        const int n = std::min(size, int(Find(hkl).size()));
        std::memcpy(buffer, Find(hkl).data(), std::size_t(n));
        return fetchResult.count(hkl) ? fetchResult[hkl] : n;
    }
    std::string Find(std::uintptr_t hkl) const {
        for (const auto& [h, d] : layouts)
            if (h == hkl) return d;
        return {};
    }
};

const std::uintptr_t kUs = 0x04090409, kPinyin = 0xE00E0804u, kWubi = 0xE00F0804u;
const std::uintptr_t kHigh = ~std::uintptr_t{0} - 0x1234;  // uses the top bits of a 64-bit handle

std::vector<std::uintptr_t> Handles(const CLayoutCatalog& catalog) {
    std::vector<std::uintptr_t> handles;
    for (const LayoutEntry& e : catalog.Entries()) handles.push_back(e.hkl);
    return handles;
}

TEST(CLayoutCatalog, KeepsDescribedLayoutsInPlatformOrder) {
    FakeLayoutSource source;
    source.layouts = {{kUs, ""}, {kPinyin, "Microsoft Pinyin"}, {0x04070407, ""}, {kWubi, "Wubi"}, {kHigh, "IME"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(Handles(catalog), (std::vector{kPinyin, kWubi, kHigh}));
    EXPECT_EQ(catalog.Entries()[0].description, "Microsoft Pinyin");
    EXPECT_EQ(source.fetchSizes, (std::vector<int>{16, 4, 3}));  // the length, not length + 1
    EXPECT_EQ(catalog.FindByDescription("ime"), kHigh);
}

TEST(CLayoutCatalog, FailuresLeaveOutOnlyWhatTheyConcern) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, "Pinyin"}, {kWubi, "Wubi"}, {kHigh, "IME"}, {kUs, std::string("\0US", 3)}};
    source.count = 0;
    EXPECT_TRUE(CLayoutCatalog(source).Entries().empty());
    source.count = -1;
    EXPECT_TRUE(CLayoutCatalog(source).Entries().empty());
    source.count = -1000;
    source.listLimit = 2;  // the number listed, not the number asked for, counts
    EXPECT_EQ(Handles(CLayoutCatalog(source)), (std::vector{kPinyin, kWubi}));
    source.listLimit = 1000;
    source.fetchResult = {{kPinyin, 0}, {kWubi, -5}, {kHigh, 2}};  // failed, failed, short
    CLayoutCatalog catalog(source);
    ASSERT_EQ(Handles(catalog), (std::vector{kHigh}));  // "\0US" is empty as text: left out
    EXPECT_EQ(catalog.Entries()[0].description, "IM");
    EXPECT_EQ(catalog.FindByDescription(""), 0u);
}

TEST(FindByDescription, FirstEqualIgnoringLatinCaseOnly) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, "Chinese (Simplified) - Pinyin"}, {kWubi, "Same"}, {kHigh, "Same"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(catalog.FindByDescription("CHINESE (simplified) - pinyin"), kPinyin);
    EXPECT_EQ(catalog.FindByDescription("Chinese (Simplified) - Pinyin "), 0u);
    EXPECT_EQ(catalog.FindByDescription("Chinese (Simplified)"), 0u);
    EXPECT_EQ(catalog.FindByDescription("same"), kWubi);
    EXPECT_EQ(catalog.FindByDescription(""), 0u);
}

// A code page whose lead bytes are 0x81..0xFE and whose upper-case mapping of a
// double-byte character clears bit 5 of its trail byte.
bool TestLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
unsigned TestUpper(unsigned c) { return c & ~0x20u; }

TEST(FindByDescription, DoubleByteCharactersCompareAsOneUnit) {
    FakeLayoutSource source;
    source.layouts = {{kWubi, "x\x81" "aZ"}, {kHigh, "\xE0" "A"}, {kUs, "ab\x81"}};
    CLayoutCatalog catalog(source);
    const MultibyteRules rules{TestLead, TestUpper}, noUpper{TestLead, nullptr};
    EXPECT_EQ(catalog.FindByDescription("X\x81" "Az", rules), kWubi);  // mapped as one character
    EXPECT_EQ(catalog.FindByDescription("x\x81" "Az", noUpper), 0u);   // a trail byte is no letter
    EXPECT_EQ(catalog.FindByDescription("x\x81" "az", noUpper), kWubi);
    EXPECT_EQ(catalog.FindByDescription("\xE0" "a", noUpper), 0u);
    EXPECT_EQ(catalog.FindByDescription("\xE0" "a"), kHigh);  // without lead bytes 'a' is a letter
    // A lead byte at the end stands alone, and nothing past the text is read.
    const char bytes[] = {'A', 'B', '\x81', 'a'};
    EXPECT_EQ(catalog.FindByDescription(std::string_view(bytes, 3), rules), kUs);
    EXPECT_EQ(catalog.FindByDescription(std::string_view(bytes, 4), rules), 0u);
}

}  // namespace
