#include "settings/key_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(KeyNameTable, TwentyTwoRowsWithUniqueNamesAndCodes) {
    const auto table = KeyNameTable();
    ASSERT_EQ(table.size(), 22u);
    EXPECT_STREQ(table.front().name, "Y");
    EXPECT_STREQ(table.back().name, "Page Dn");
    std::set<std::string> names;
    std::set<std::uint16_t> codes;
    for (const KeyNameEntry& row : table) {
        names.insert(row.name);
        codes.insert(row.code);
        EXPECT_EQ(LookupVirtualKey(row.name), row.code) << row.name;
    }
    EXPECT_EQ(names.size(), 22u);
    EXPECT_EQ(codes.size(), 22u);
}

TEST(LookupVirtualKey, CodesOfTheKnownNames) {
    EXPECT_EQ(LookupVirtualKey("Y"), 0x59);
    EXPECT_EQ(LookupVirtualKey("U"), 0x55);
    EXPECT_EQ(LookupVirtualKey("I"), 0x49);
    EXPECT_EQ(LookupVirtualKey("P"), 0x50);
    EXPECT_EQ(LookupVirtualKey("F1"), 0x70);
    EXPECT_EQ(LookupVirtualKey("F10"), 0x79);
    EXPECT_EQ(LookupVirtualKey("F12"), 0x7B);
    EXPECT_EQ(LookupVirtualKey("Insert"), 0x2D);
    EXPECT_EQ(LookupVirtualKey("Delete"), 0x2E);
    EXPECT_EQ(LookupVirtualKey("Home"), 0x24);
    EXPECT_EQ(LookupVirtualKey("End"), 0x23);
    EXPECT_EQ(LookupVirtualKey("Page Up"), 0x21);
    EXPECT_EQ(LookupVirtualKey("Page Dn"), 0x22);
}

TEST(LookupVirtualKey, AsciiLetterCaseIsIgnored) {
    for (const char* name : {"F12", "f12"}) EXPECT_EQ(LookupVirtualKey(name), 0x7B) << name;
    EXPECT_EQ(LookupVirtualKey("y"), 0x59);
    EXPECT_EQ(LookupVirtualKey("page up"), 0x21);
    EXPECT_EQ(LookupVirtualKey("PAGE UP"), 0x21);
    EXPECT_EQ(LookupVirtualKey("page dn"), 0x22);
    EXPECT_EQ(LookupVirtualKey("hOmE"), 0x24);
}

TEST(LookupVirtualKey, EverythingElseIsZero) {
    for (const char* name : {"", "Page Down", "PageUp", "PgUp", "Ins", "Del", "F13", "F0", "Space", "A", "F",
                             " F12", "F12 ", "F1 2", "F12\t", "Page  Up", "End\n", "Y\xA1", "\xC6\xBD"})
        EXPECT_EQ(LookupVirtualKey(name), 0) << '"' << name << '"';
    // The whole given text counts, also past a NUL.
    EXPECT_EQ(LookupVirtualKey(std::string("F1\0" "2", 4)), 0);
    // Folding is ASCII only: a Latin-1 capital is not a letter of the table.
    EXPECT_EQ(LookupVirtualKey("\xDD"), 0);
}

}  // namespace
