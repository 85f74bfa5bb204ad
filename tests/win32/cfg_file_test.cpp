// The command file on a real file system: exact bytes, replacement, and the
// failures the user is shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "chatbox/cfg_file_win32.h"
#include "framework/wide_text_win32.h"
#include "import_patch.h"

namespace {

// Every handle the code under test opens with CreateFileW, as the system made it.
decltype(&::CreateFileW) g_createFile = nullptr;
std::vector<DWORD> g_openedFlags;

HANDLE WINAPI RecordingCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD attributes, HANDLE model) {
    const HANDLE file = g_createFile(name, access, share, security, disposition, attributes, model);
    DWORD flags = 0;
    if (file != INVALID_HANDLE_VALUE && ::GetHandleInformation(file, &flags)) g_openedFlags.push_back(flags);
    return file;
}

class CfgFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "parlix_cfg_" + std::to_string(::GetCurrentProcessId()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        m_path = m_folder + "\\parlix.cfg";
    }
    void TearDown() override {
        ::DeleteFileA(m_path.c_str());
        ::RemoveDirectoryA((m_folder + "\\parlix.cfg").c_str());
        ::RemoveDirectoryA(m_folder.c_str());
    }

    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string m_folder;
    std::string m_path;
};

TEST_F(CfgFileTest, HoldsExactlyTheLastCommandWritten) {
    ASSERT_FALSE(WriteCfgFile(m_path, "say \"a much longer first message\""));
    ASSERT_FALSE(WriteCfgFile(m_path, "rcon say \"hi\""));
    // 13 bytes: no byte-order mark, no line end, no terminator, nothing of the first.
    EXPECT_EQ(ReadAll(m_path), "rcon say \"hi\"");
}

// A program the game starts while the file is open must not inherit the handle:
// it would hold the file, opened without sharing, and every later message would
// fail with a sharing violation while that program runs.
TEST_F(CfgFileTest, NoChildProcessInheritsTheHandle) {
    g_openedFlags.clear();
    {
        ImportPatch patch("KERNEL32.dll", "CreateFileW", reinterpret_cast<void*>(&RecordingCreateFile),
                          reinterpret_cast<void**>(&g_createFile));
        ASSERT_TRUE(patch.Patched());
        EXPECT_EQ(WriteCfgFile(m_path, "say \"x\""), std::nullopt);
    }
    ASSERT_EQ(g_openedFlags.size(), 1u);
    EXPECT_EQ(g_openedFlags[0] & HANDLE_FLAG_INHERIT, 0u);
}

TEST_F(CfgFileTest, MissingModFolderIsABadPathNamedAsPassed) {
    const std::string path = m_folder + "\\cstrike\\parlix.cfg";
    auto error = WriteCfgFile(path, "say \"x\"");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->cause, FileErrorCause::badPath);
    EXPECT_EQ(error->fileName, path);
    EXPECT_EQ(::GetFileAttributesA((m_folder + "\\cstrike").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CfgFileTest, FileHeldOpenWithoutSharingIsASharingViolation) {
    HANDLE other = ::CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    auto error = WriteCfgFile(m_path, "say \"x\"");
    ::CloseHandle(other);
    ASSERT_TRUE(error);
    EXPECT_EQ(static_cast<int>(error->cause), 11);
    EXPECT_EQ(error->fileName, m_path);
}

TEST_F(CfgFileTest, DirectoryInPlaceOfTheFileIsRefusedAndKept) {
    ASSERT_TRUE(::CreateDirectoryA(m_path.c_str(), nullptr));
    auto error = WriteCfgFile(m_path, "say \"x\"");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->cause, FileErrorCause::accessDenied);
    EXPECT_EQ(error->fileName, m_path);
    EXPECT_NE(::GetFileAttributesA(m_path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(CfgFileTest, PathsOfMaxPathCharactersAreRefusedBeforeAnyOpen) {
    const std::string prefix = m_folder + "\\";
    ASSERT_LT(prefix.size(), 200u);
    const std::string longest = prefix + std::string(259 - prefix.size(), 'n');
    const std::string tooLong = prefix + std::string(260 - prefix.size(), 'n');

    auto refused = WriteCfgFile(tooLong, "say \"x\"");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->cause, FileErrorCause::badPath);
    EXPECT_EQ(refused->fileName, tooLong);
    // Refused before the open: not even a file of the name cut at MAX_PATH appears.
    EXPECT_EQ(::GetFileAttributesA(longest.c_str()), INVALID_FILE_ATTRIBUTES);

    // One character less is an ordinary path.
    EXPECT_FALSE(WriteCfgFile(longest, "say \"x\""));
    EXPECT_EQ(ReadAll(longest), "say \"x\"");
    ::DeleteFileA(longest.c_str());
}

// The folder's name mixes scripts no ANSI code page holds together: Chinese,
// Korean and Greek. The path is UTF-8, as the settings give it.
TEST_F(CfgFileTest, FolderOfAnyNameIsOpenedByItsUtf16Path) {
    const std::wstring wideFolder = WideFromUtf8(m_folder) + L"\\\u6e38\u620f \ud55c \u03a9";
    ASSERT_TRUE(::CreateDirectoryW(wideFolder.c_str(), nullptr));
    const std::string path = Utf8FromWide(wideFolder) + "\\parlix.cfg";
    EXPECT_FALSE(WriteCfgFile(path, "say \"\xE4\xBD\xA0\"")) << path;
    char bytes[64] = {};
    DWORD read = 0;
    HANDLE file = ::CreateFileW((wideFolder + L"\\parlix.cfg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::ReadFile(file, bytes, sizeof bytes, &read, nullptr);
    ::CloseHandle(file);
    EXPECT_EQ(std::string(bytes, read), "say \"\xE4\xBD\xA0\"");
    // A failure names the path in the same UTF-8.
    const auto error = WriteCfgFile(Utf8FromWide(wideFolder) + "\\cstrike\\parlix.cfg", "say \"x\"");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->cause, FileErrorCause::badPath);
    EXPECT_EQ(error->fileName, Utf8FromWide(wideFolder) + "\\cstrike\\parlix.cfg");
    ::DeleteFileW((wideFolder + L"\\parlix.cfg").c_str());
    ::RemoveDirectoryW(wideFolder.c_str());
}

}  // namespace
