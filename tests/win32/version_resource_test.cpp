// The version resources of the built module and host program, as Explorer reads
// them for a file's properties: both carry the one version of the project.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parlix_version.h"
#include "registry_test_support.h"

namespace {

std::wstring Wide(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

class VersionResource : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        const std::string program = ThisProgramPath();
        const std::string path = program.substr(0, program.find_last_of('\\') + 1) + GetParam();
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
        if (size == 0 && ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << path << " is not built beside the tests";
        ASSERT_NE(size, 0u) << path << " has no version resource";
        m_data.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, m_data.data()));
    }
    std::wstring Text(const wchar_t* name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueW(m_data.data(), query.c_str(), &value, &length) || length == 0) return L"<missing>";
        return static_cast<const wchar_t*>(value);
    }
    std::vector<char> m_data;
};

TEST_P(VersionResource, NamesTheProductItsVersionAndWhatTheFileIs) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(m_data.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    const WORD numbers[4] = {PARLIX_VERSION_NUMBERS};
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD(numbers[0]) << 16 | numbers[1]);
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);

    EXPECT_EQ(Text(L"ProductName"), L"Parlix");
    EXPECT_EQ(Text(L"ProductVersion"), Wide(PARLIX_VERSION_TEXT));
    EXPECT_EQ(Text(L"FileVersion"), Wide(PARLIX_VERSION_TEXT));
    EXPECT_EQ(Text(L"OriginalFilename"), Wide(GetParam()));
    EXPECT_NE(Text(L"FileDescription"), L"<missing>");
}

INSTANTIATE_TEST_SUITE_P(BuiltFiles, VersionResource, ::testing::Values("Parlix.dll", "ParlixHost.exe"));

}  // namespace
