#include "chatbox/file_error.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

TEST(CauseForSystemError, EveryListedCodeHasItsCause) {
    using C = FileErrorCause;
    const std::map<C, std::set<std::uint32_t>> table{
        {C::notFound, {2, 6, 18, 107}},
        {C::badPath, {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161,
                      206, 208, 267}},
        {C::tooManyOpenFiles, {4, 36, 68, 113}},
        {C::accessDenied, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
        {C::invalidFile, {11, 26, 60, 66, 114, 182, 191, 193}},
        {C::removeCurrentDir, {16, 145}},
        {C::directoryFull, {62}},
        {C::badSeek, {24, 25, 27, 30, 131, 132}},
        {C::hardIO, {20, 21, 22, 23, 57, 59, 88, 117, 995, 996, 997}},
        {C::sharingViolation, {32}},
        {C::lockViolation, {33, 108, 167}},
        {C::diskFull, {39, 112}},
        {C::endOfFile, {38}},
    };
    std::map<std::uint32_t, C> expected;
    for (const auto& [cause, codes] : table)
        for (std::uint32_t code : codes) expected[code] = cause;
    // Every code up to well past the table, listed or not, and a few far out.
    for (std::uint32_t code = 0; code < 1100; ++code) {
        const auto it = expected.find(code);
        EXPECT_EQ(CauseForSystemError(code), it == expected.end() ? C::generic : it->second)
            << "code " << code;
    }
    // Codes that share their low bits with a listed one.
    for (std::uint32_t code : {1u, 4096u + 5u, 3 * 4096u + 2u, 65535u, 65536u + 5u, 0x80070005u,
                               0xFFFFFFFFu})
        EXPECT_EQ(CauseForSystemError(code), C::generic) << "code " << code;
}

TEST(FileErrorCauseText, TextsAreTheOnesTheUserSees) {
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::generic),
              "An unknown error occurred while accessing %1.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::notFound), "%1 was not found.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::badPath), "%1 contains an invalid path.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::tooManyOpenFiles),
              "%1 could not be opened because there are too many open files.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::accessDenied), "Access to %1 was denied.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::invalidFile),
              "An invalid file handle was associated with %1.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::removeCurrentDir),
              "%1 could not be removed because it is the current directory.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::directoryFull),
              "%1 could not be created because the directory is full.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::badSeek), "Seek failed on %1");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::hardIO),
              "A hardware I/O error was reported while accessing %1.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::sharingViolation),
              "A sharing violation occurred while accessing %1.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::lockViolation),
              "A locking violation occurred while accessing %1.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::diskFull), "Disk full while accessing %1.");
    EXPECT_EQ(FileErrorCauseText(FileErrorCause::endOfFile),
              "An attempt was made to access %1 past its end.");
    EXPECT_EQ(FileErrorCauseText(static_cast<FileErrorCause>(0)),
              FileErrorCauseText(FileErrorCause::generic));
    EXPECT_EQ(FileErrorCauseText(static_cast<FileErrorCause>(15)),
              FileErrorCauseText(FileErrorCause::generic));
    EXPECT_EQ(FileErrorCauseText(static_cast<FileErrorCause>(-1)),
              FileErrorCauseText(FileErrorCause::generic));
}

TEST(FormatFileErrorMessage, PutsTheFileNameInPlaceOfEachMark) {
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::accessDenied, "C:\\cs\\parlix.cfg"}),
              "Access to C:\\cs\\parlix.cfg was denied.");
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::badSeek, "f"}), "Seek failed on f");
    // A name that itself holds %1 is not expanded again.
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::notFound, "%1%1"}), "%1%1 was not found.");
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::notFound, ""}), " was not found.");
}

TEST(FormatFileErrorMessage, IsCutTo511Bytes) {
    const std::string longName(600, 'x');
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::accessDenied, longName}),
              "Access to " + longName.substr(0, 501));
    // " was not found." is 15 bytes: a 496-byte name just fits, one more is cut.
    const std::string fits(496, 'y');
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::notFound, fits}), fits + " was not found.");
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::notFound, fits + "y"}),
              fits + "y was not found");
    // A folder of Chinese names: the cut falls before the character that does not
    // fit whole (10 + 3 * 167 = 511 bytes).
    std::string chinese;
    for (int i = 0; i < 200; ++i) chinese += "\xE6\xB8\xB8";
    EXPECT_EQ(FormatFileErrorMessage({FileErrorCause::accessDenied, "x" + chinese}),
              "Access to x" + chinese.substr(0, 3 * 166));
}

TEST(ReplaceFileNameMarks, ReplacesEveryMarkOrNone) {
    EXPECT_EQ(ReplaceFileNameMarks("%1 and %1", "f.cfg", 511), "f.cfg and f.cfg");
    EXPECT_EQ(ReplaceFileNameMarks("no mark, 100%", "f.cfg", 511), "no mark, 100%");
    EXPECT_EQ(ReplaceFileNameMarks("%1%1%", "ab", 511), "abab%");
    EXPECT_EQ(ReplaceFileNameMarks("%1 and %1", "abcdef", 8), "abcdef a");
    EXPECT_EQ(ReplaceFileNameMarks("x%1", "abc", 0), "");
}
