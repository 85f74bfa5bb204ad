#include "settings/key_names.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(KeyNameTable, TwentyTwoRowsUniqueAndEachFoundByItsName) {
    const auto table = KeyNameTable();
    ASSERT_EQ(table.size(), 22u);
    std::set<std::string_view> names;
    std::set<std::uint16_t> codes;
    for (const KeyNameEntry& row : table) {
        names.insert(row.name);
        codes.insert(row.code);
        EXPECT_EQ(LookupVirtualKey(row.name), row.code) << row.name;
    }
    EXPECT_EQ(names.size() + codes.size(), 44u);
    EXPECT_EQ(table[0].code, 0x59);                        // "Y" first
    EXPECT_EQ(LookupVirtualKey("F12"), 0x7B);
    EXPECT_EQ(table[21].code, LookupVirtualKey("Page Dn"));  // "Page Dn" last
    EXPECT_EQ(LookupVirtualKey("Page Dn"), 0x22);
}

TEST(LookupVirtualKey, AsciiCaseIgnoredEverythingElseExact) {
    EXPECT_EQ(LookupVirtualKey("f12"), 0x7B);
    EXPECT_EQ(LookupVirtualKey("y"), 0x59);
    EXPECT_EQ(LookupVirtualKey("PAGE UP"), 0x21);
    EXPECT_EQ(LookupVirtualKey("page dn"), 0x22);
    for (const char* name : {"", "Page Down", "PageUp", "PgUp", "Ins", "Del", "F13", "Space", "A", " F12", "F12 ",
                             "F1 2", "F12\t", "Y\xA1", "\xDD", "\xC6\xBD"})
        EXPECT_EQ(LookupVirtualKey(name), 0) << '"' << name << '"';
    EXPECT_EQ(LookupVirtualKey(std::string_view("F1\0" "2", 4)), 0);
}

}  // namespace

namespace {

TEST(IsExtendedKey, OnlyTheSixKeysTheKeypadSharesScanCodesWith) {
    std::set<std::string_view> extended;
    for (const KeyNameEntry& row : KeyNameTable())
        if (IsExtendedKey(row.code)) extended.insert(row.name);
    EXPECT_EQ(extended, (std::set<std::string_view>{"Insert", "Delete", "Home", "End", "Page Up", "Page Dn"}));
    EXPECT_TRUE(IsExtendedKey(0x012D));  // only the low byte names the key
    EXPECT_FALSE(IsExtendedKey(0));
}

}  // namespace
