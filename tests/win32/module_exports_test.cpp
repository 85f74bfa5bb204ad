// The built module loaded into this program: its attach and its hook exports.
#include <windows.h>

#include <gtest/gtest.h>

#include "hook/exports_win32.h"
#include "registry_test_support.h"

namespace {

std::string BesideThisProgram(const char* fileName) {
    const std::string program = ThisProgramPath();
    return program.substr(0, program.find_last_of('\\') + 1) + fileName;
}

class ModuleExports : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        if (::GetFileAttributesA(BesideThisProgram("Parlix.dll").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "Parlix.dll is not built beside the tests";
    }
    void TearDown() override {
        if (m_module) ::FreeLibrary(m_module);
        RegistryTest::TearDown();
    }
    void Load(const std::string& path) {
        m_module = ::LoadLibraryA(path.c_str());
        ASSERT_NE(m_module, nullptr) << path;
    }
    template <class Fn>
    Fn Export(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }
    HMODULE m_module = nullptr;
};

TEST_F(ModuleExports, AttachLoadsTheSettingsAndTheBlockKeepsOnlyTheNewerHook) {
    Load(BesideThisProgram("Parlix.dll"));
    EXPECT_TRUE(KeyExists(kAppKey)) << "the application read the settings at attach";
    const auto install = Export<InstallHookFn>("InstallHook");
    const auto uninstall = Export<UninstallHookFn>("UninstallHook");
    ASSERT_TRUE(install && uninstall);
    uninstall();  // nothing installed yet
    const HHOOK first = install();
    const HHOOK second = install();
    ASSERT_TRUE(first && second && first != second);
    uninstall();
    EXPECT_FALSE(::UnhookWindowsHookEx(second)) << "the newer hook was removed";
    EXPECT_TRUE(::UnhookWindowsHookEx(first)) << "the older one was not";
    uninstall();  // already removed: harmless, any number of times
    uninstall();
}

TEST_F(ModuleExports, ACopyUnderAnotherNameReadsTheSameProfileButInstallsNothing) {
    const std::string copy = BesideThisProgram("ParlixCopy.dll");
    ASSERT_TRUE(::CopyFileA(BesideThisProgram("Parlix.dll").c_str(), copy.c_str(), FALSE));
    Load(copy);
    EXPECT_TRUE(KeyExists(kAppKey));
    EXPECT_FALSE(KeyExists("Software\\Kelvandor\\ParlixCopy"));
    const auto install = Export<InstallHookFn>("InstallHook");
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install(), nullptr) << "no module named Parlix.dll in this process";
    ::FreeLibrary(std::exchange(m_module, nullptr));
    ::DeleteFileA(copy.c_str());
}

}  // namespace
