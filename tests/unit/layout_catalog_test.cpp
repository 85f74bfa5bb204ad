#include "settings/layout_catalog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

// (handle, description) pairs; an empty description is a layout that is not an IME.
struct FakeLayoutSource : LayoutSource {
    std::vector<std::pair<std::uintptr_t, std::u16string>> layouts;
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
    // As the wide API does it: at most size - 1 units, then a terminator.
    int Description(std::uintptr_t hkl, char16_t* buffer, int size) override {
        fetchSizes.push_back(size);
        if (size <= 0) return 0;
        const int n = std::min(size - 1, int(Find(hkl).size()));
        std::copy_n(Find(hkl).data(), n, buffer);
        buffer[n] = u'\0';
        return fetchResult.count(hkl) ? fetchResult[hkl] : n;
    }
    // Text services handed over after the layouts, as a platform's list gives them.
    std::vector<std::pair<std::u16string, TextServiceProfile>> services;
    void AddTextServices(TextServiceList& list) override {
        for (const auto& [description, profile] : services) list.Add(description, profile);
    }
    std::u16string Find(std::uintptr_t hkl) const {
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

std::uintptr_t HandleUtf8(const CLayoutCatalog& catalog, std::string_view text) {
    const LayoutEntry* entry = catalog.FindUtf8(text);
    return entry != nullptr ? entry->hkl : 0;
}

TEST(CLayoutCatalog, KeepsDescribedLayoutsInPlatformOrder) {
    FakeLayoutSource source;
    source.layouts = {{kUs, u""}, {kPinyin, u"Microsoft Pinyin"}, {0x04070407, u""}, {kWubi, u"Wubi"}, {kHigh, u"IME"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(Handles(catalog), (std::vector{kPinyin, kWubi, kHigh}));
    // Whole names: the size given counts the terminator the wide API writes.
    EXPECT_EQ(catalog.Entries()[0].description, u"Microsoft Pinyin");
    EXPECT_EQ(catalog.Entries()[1].description, u"Wubi");
    EXPECT_EQ(catalog.Entries()[2].description, u"IME");
    EXPECT_EQ(source.fetchSizes, (std::vector<int>{17, 5, 4}));
    EXPECT_EQ(catalog.FindByDescription(u"ime"), kHigh);
}

TEST(FindByDescription, ANameSavedOneCharacterShortStillFindsItsIme) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, u"\u5fae\u8f6f\u62fc\u97f3"}, {kWubi, u"Wubi"}, {kHigh, u"Wub"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(catalog.FindByDescription(u"\u5fae\u8f6f\u62fc"), kPinyin);  // as earlier versions saved it
    EXPECT_EQ(catalog.FindByDescription(u"wub"), kHigh);   // a whole name wins over a cut one
    EXPECT_EQ(catalog.FindByDescription(u"W"), 0u);        // two short is another name
    EXPECT_EQ(catalog.FindByDescription(u""), 0u);
    source.layouts = {{kWubi, u"W"}};
    EXPECT_EQ(CLayoutCatalog(source).FindByDescription(u""), 0u);  // a one-unit name is never empty text's
}

TEST(CLayoutCatalog, FailuresLeaveOutOnlyWhatTheyConcern) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, u"Pinyin"}, {kWubi, u"Wubi"}, {kHigh, u"IME"}, {kUs, std::u16string(u"\0US", 3)}};
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
    EXPECT_EQ(catalog.Entries()[0].description, u"IM");
    EXPECT_EQ(catalog.FindByDescription(u""), 0u);
}

TEST(FindByDescription, FirstEqualIgnoringLatinCaseOnly) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, u"Chinese (Simplified) - Pinyin"}, {kWubi, u"Same"}, {kHigh, u"Same"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(catalog.FindByDescription(u"CHINESE (simplified) - pinyin"), kPinyin);
    EXPECT_EQ(catalog.FindByDescription(u"Chinese (Simplified) - Pinyin "), 0u);
    EXPECT_EQ(catalog.FindByDescription(u"Chinese (Simplified)"), 0u);
    EXPECT_EQ(catalog.FindByDescription(u"same"), kWubi);
    EXPECT_EQ(catalog.FindByDescription(u""), 0u);
}

// Letter case beyond ASCII is the platform's: a rule that maps a small e with
// acute to its capital, as the system's upper-case table does.
bool FoldsAcute(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return c == u'\u00e9' ? u'\u00c9' : (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) {
               return fold(x) == fold(y);
           });
}

TEST(FindByDescription, ComparesUtf16TextsWithTheGivenCaseRule) {
    FakeLayoutSource source;
    // Names no ANSI code page holds all of: Chinese, Korean and Latin with accents.
    source.layouts = {{kPinyin, u"\u5fae\u8f6f\u62fc\u97f3"}, {kWubi, u"\ud55c\uad6d\uc5b4 IME"}, {kHigh, u"Fran\u00e7ais \u00e9"}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(HandleUtf8(catalog, "\xE5\xBE\xAE\xE8\xBD\xAF\xE6\x8B\xBC\xE9\x9F\xB3"), kPinyin);
    EXPECT_EQ(HandleUtf8(catalog, "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 ime"), kWubi);
    EXPECT_EQ(HandleUtf8(catalog, "\xE5\xBE\xAE\xE8\xBD"), 0u);  // a cut character is no match
    EXPECT_EQ(catalog.FindByDescription(u"FRAN\u00e7AIS \u00c9"), 0u);      // ASCII folding only by default
    EXPECT_EQ(catalog.FindByDescription(u"FRAN\u00e7AIS \u00c9", FoldsAcute), kHigh);
    // Nothing past a NUL of the text is compared.
    EXPECT_EQ(catalog.FindByDescription(std::u16string(u"fran\u00e7ais \u00e9\0x", 13)), kHigh);
}

TextServiceProfile Service(std::uint16_t language, std::uint8_t id) {
    TextServiceProfile profile;
    profile.language = language;
    profile.service.fill(id);
    profile.profile.fill(std::uint8_t(id + 1));
    return profile;
}

// Which text service an entry is, by its profile's first byte; 0 for an IME layout.
std::vector<int> Kinds(const CLayoutCatalog& catalog) {
    std::vector<int> kinds;
    for (const LayoutEntry& e : catalog.Entries()) kinds.push_back(e.textService ? e.profile.service[0] : 0);
    return kinds;
}

TEST(CLayoutCatalog, ListsTextServicesAfterTheImesInTheOrderGiven) {
    FakeLayoutSource source;
    source.layouts = {{kUs, u""}, {kPinyin, u"Wubi IME"}};
    source.services = {{u"Microsoft Pinyin", Service(0x0804, 7)},
                       {u"Microsoft Bopomofo", Service(0x0404, 9)},
                       {u"Cangjie", Service(0x0404, 3)}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(Kinds(catalog), (std::vector{0, 7, 9, 3}));
    ASSERT_EQ(catalog.Entries().size(), 4u);
    const LayoutEntry& bopomofo = catalog.Entries()[2];
    EXPECT_EQ(bopomofo.description, u"Microsoft Bopomofo");
    EXPECT_EQ(bopomofo.hkl, 0u);
    EXPECT_EQ(bopomofo.profile.language, 0x0404);
    EXPECT_EQ(bopomofo.profile.profile[15], 10);
    // The same catalogue, and so the same order, on every build.
    EXPECT_EQ(Kinds(CLayoutCatalog(source)), Kinds(catalog));
}

TEST(CLayoutCatalog, LeavesOutTextServicesWithoutAName) {
    FakeLayoutSource source;
    source.services = {{u"", Service(0x0804, 1)},
                       {std::u16string(u"\0Hidden", 7), Service(0x0804, 2)},
                       {std::u16string(u"Quick\0junk", 10), Service(0x0404, 3)}};
    CLayoutCatalog catalog(source);
    EXPECT_EQ(Kinds(catalog), (std::vector{3}));
    EXPECT_EQ(catalog.Entries()[0].description, u"Quick");
    EXPECT_EQ(catalog.Find(u""), nullptr);
}

TEST(Find, FindsTextServicesByNameAsItFindsImes) {
    FakeLayoutSource source;
    source.layouts = {{kPinyin, u"Pinyin IME"}, {kWubi, u"Same"}};
    source.services = {{u"Microsoft Pinyin", Service(0x0804, 7)}, {u"Same", Service(0x0804, 8)},
                       {u"Microsoft Pinyin", Service(0x0404, 9)}, {u"Pinyin IM", Service(0x0804, 4)}};
    CLayoutCatalog catalog(source);
    const LayoutEntry* found = catalog.Find(u"MICROSOFT pinyin");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(found->textService);
    EXPECT_EQ(found->profile.service[0], 7);  // the first of two services of one name
    found = catalog.FindUtf8("microsoft pinyi");  // saved one character short
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->profile.service[0], 7);
    // An IME listed before a service of the same name is the one found.
    found = catalog.Find(u"same");
    ASSERT_NE(found, nullptr);
    EXPECT_FALSE(found->textService);
    EXPECT_EQ(found->hkl, kWubi);
    // A whole name, here a service's, wins over an IME's name cut by one.
    found = catalog.Find(u"Pinyin IM");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->profile.service[0], 4);
    EXPECT_EQ(catalog.FindByDescription(u"Pinyin IM"), 0u);  // a service has no layout handle
    EXPECT_EQ(catalog.Find(u"Microsoft"), nullptr);
}

}  // namespace
