#include <gtest/gtest.h>

#include "settings/run_value.h"

namespace {

TEST(RunValue, WrittenQuotedAndReadInEitherForm) {
    const std::wstring path = L"C:\\Program Files (x86)\\Parlix\\ParlixHost.exe";
    EXPECT_EQ(RunCommandFor(path), L"\"" + path + L"\"");
    EXPECT_EQ(RunCommandProgram(RunCommandFor(path)), path);
    EXPECT_EQ(RunCommandProgram(path), path) << "the unquoted form of an older host";
    EXPECT_EQ(RunCommandProgram(L"  " + path + L" \t"), path);
    EXPECT_EQ(RunCommandProgram(L"\"" + path + L"\" --minimized"), path);
    EXPECT_EQ(RunCommandProgram(L"\"C:\\no end"), L"C:\\no end");
    EXPECT_EQ(RunCommandProgram(L""), L"");
    EXPECT_EQ(RunCommandProgram(L" \t "), L"");
    EXPECT_EQ(RunCommandProgram(L"\"\""), L"");
}

}  // namespace
