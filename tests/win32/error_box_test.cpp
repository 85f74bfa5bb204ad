// The last-error text and the file-error box.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "chatbox/error_box_win32.h"
#include "framework/system_error_win32.h"
#include "window_test_support.h"

namespace {

TEST(FormatLastError, SystemTextLosesItsFinalLineBreakAndUnknownCodesShowSigned) {
    char buffer[256];
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string known = FormatLastError(buffer, 255);
    ASSERT_FALSE(known.empty());
    EXPECT_NE(known.back(), '\n');
    EXPECT_NE(known.back(), '\r');
    // The box shows the one system text the host shows as well.
    EXPECT_EQ(known, SystemMessageText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(SystemMessageText(0xE0001234), "");

    std::memset(buffer, 'x', sizeof buffer);
    ::SetLastError(0xE0001234);  // a customer code the system has no text for
    EXPECT_STREQ(FormatLastError(buffer, 255), "(-536866252)");
    EXPECT_EQ(buffer[254], '\0');  // the rest of the buffer is cleared
}

TEST(ShowFileErrorBox, NamesTheFileAndCutsTheTextAt511) {
    testsupport::MessageBoxReader reader;
    ShowFileErrorBox(nullptr, FileError{FileErrorCause::sharingViolation, std::string(600, 'p')});
    ASSERT_TRUE(reader.Seen().shown);
    const std::string full = "A sharing violation occurred while accessing " + std::string(600, 'p') + ".";
    EXPECT_EQ(reader.Seen().text, full.substr(0, 511));
}

}  // namespace
