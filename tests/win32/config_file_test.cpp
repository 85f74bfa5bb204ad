// The set-up's rewrite of a player's config file when writing fails: the old
// content goes back, or stays in the copy beside the file; and a copy that an
// earlier rewrite left is never overwritten but put back.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "host/config_file_win32.h"
#include "import_patch.h"

namespace {

// WriteFile as the code under test calls it: the calls whose numbers (from 1)
// are in g_failing fail as on a full disk, nothing written.
decltype(&::WriteFile) g_writeFile = nullptr;
int g_writes = 0;
unsigned g_failing = 0;

BOOL WINAPI FailingWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    ++g_writes;
    if (g_writes < 32 && (g_failing & (1u << g_writes)) != 0) {
        if (written != nullptr) *written = 0;
        ::SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return g_writeFile(file, data, size, written, overlapped);
}

constexpr unsigned Call(int number) { return 1u << number; }

const std::string kOld = "exec old.cfg\r\n";
const std::string kNew = "exec old.cfg\r\nbind \"F12\" \"exec parlix.cfg\"\r\n";

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"parlix_config_" + std::to_wstring(::GetCurrentProcessId());
        ::CreateDirectoryW(m_folder.c_str(), nullptr);
        m_path = m_folder + L"\\userconfig.cfg";
        m_backup = BackupPathOf(m_path);
        g_writes = 0;
        g_failing = 0;
    }
    void TearDown() override {
        for (const std::wstring& file : {m_path, m_backup}) {
            ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(file.c_str());
        }
        ::RemoveDirectoryW(m_folder.c_str());
    }

    static void Make(const std::wstring& path, const std::string& content) {
        DWORD error = 0;
        ASSERT_TRUE(CreateConfigFile(path, content, error)) << error;
    }
    static std::string Read(const std::wstring& path) {
        std::string content;
        bool exists = false;
        DWORD error = 0;
        if (!ReadConfigFile(path, content, exists, error) || !exists) return "<none>";
        return content;
    }
    // The read-only and hidden marks (the system adds the archive mark on writes).
    static DWORD Marks(const std::wstring& path) {
        return ::GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }
    static bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // Rewrites the file with the writes in `failing` failing.
    Rewrite RewriteFailing(unsigned failing, DWORD& error) {
        g_failing = failing;
        ImportPatch patch("KERNEL32.dll", "WriteFile", reinterpret_cast<void*>(&FailingWriteFile),
                          reinterpret_cast<void**>(&g_writeFile));
        EXPECT_TRUE(patch.Patched());
        return RewriteConfigFile(m_path, kOld, kNew, error);
    }

    std::wstring m_folder;
    std::wstring m_path;
    std::wstring m_backup;
};

TEST_F(ConfigFileTest, AFailedWritePutsTheOldContentBackAndDropsTheCopy) {
    Make(m_path, kOld);
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    DWORD error = 0;
    // Call 1 writes the copy beside it, call 2 the new content, call 3 the old back.
    EXPECT_EQ(RewriteFailing(Call(2), error), Rewrite::putBack);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(Read(m_path), kOld);
    EXPECT_FALSE(Exists(m_backup));
    EXPECT_EQ(Marks(m_path), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
        << "the player's marks are back";

    // Without a failure the same rewrite is written, and no copy stays.
    EXPECT_EQ(RewriteFailing(0, error), Rewrite::written);
    EXPECT_EQ(Read(m_path), kNew);
    EXPECT_FALSE(Exists(m_backup));
}

TEST_F(ConfigFileTest, WhenTheOldContentCannotGoBackTheCopyKeepsIt) {
    Make(m_path, kOld);
    DWORD error = 0;
    EXPECT_EQ(RewriteFailing(Call(2) | Call(3), error), Rewrite::damaged);
    EXPECT_EQ(Read(m_backup), kOld);
    // A copy that failed to be made leaves nothing behind and the file untouched.
    ASSERT_TRUE(::DeleteFileW(m_backup.c_str()));
    g_writes = 0;
    EXPECT_EQ(RewriteFailing(Call(1), error), Rewrite::untouched);
    EXPECT_FALSE(Exists(m_backup));
    EXPECT_EQ(Read(m_path), kOld);
}

TEST_F(ConfigFileTest, ACopyLeftBesideTheFileIsNeverOverwrittenButPutBack) {
    Make(m_path, "exec ol");  // cut short by a crash
    Make(m_backup, kOld);
    DWORD error = 0;
    EXPECT_EQ(RewriteConfigFile(m_path, "exec ol", kNew, error), Rewrite::untouched);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(Read(m_backup), kOld);
    EXPECT_EQ(Read(m_path), "exec ol");

    // Putting it back while writing fails leaves the copy as it is.
    bool restored = true;
    {
        g_failing = Call(1);
        ImportPatch patch("KERNEL32.dll", "WriteFile", reinterpret_cast<void*>(&FailingWriteFile),
                          reinterpret_cast<void**>(&g_writeFile));
        ASSERT_TRUE(patch.Patched());
        EXPECT_FALSE(RestoreLeftBackup(m_path, restored, error));
    }
    EXPECT_FALSE(restored);
    EXPECT_EQ(Read(m_backup), kOld);

    // Then it goes back, into the file itself with its marks, and goes.
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(RestoreLeftBackup(m_path, restored, error)) << error;
    EXPECT_TRUE(restored);
    EXPECT_EQ(Read(m_path), kOld);
    EXPECT_FALSE(Exists(m_backup));
    EXPECT_EQ(Marks(m_path), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    // Nothing left beside it: nothing to do.
    ASSERT_TRUE(RestoreLeftBackup(m_path, restored, error));
    EXPECT_FALSE(restored);

    // A copy whose file is gone makes the file again.
    ::SetFileAttributesW(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(::DeleteFileW(m_path.c_str()));
    Make(m_backup, kOld);
    ASSERT_TRUE(RestoreLeftBackup(m_path, restored, error));
    EXPECT_TRUE(restored);
    EXPECT_EQ(Read(m_path), kOld);
    EXPECT_FALSE(Exists(m_backup));
}

}  // namespace
