// The built module loaded into this program: its attach and its hook exports.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "registry_test_support.h"

namespace {

using SetHotKeysFn = void (*)(int, int, int, int);
using InstallHookFn = HHOOK (*)();
using UninstallHookFn = void (*)();
using HookProcFn = LRESULT(CALLBACK*)(int, WPARAM, LPARAM);

std::string BesideThisProgram(const char* fileName) {
    const std::string program = ThisProgramPath();
    return program.substr(0, program.find_last_of('\\') + 1) + fileName;
}

class LoadedModule {
public:
    explicit LoadedModule(const std::string& path) : m_module(::LoadLibraryA(path.c_str())) {}
    ~LoadedModule() {
        if (m_module) ::FreeLibrary(m_module);
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    HMODULE get() const { return m_module; }
    template <class Fn>
    Fn Export(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)));
    }

private:
    HMODULE m_module;
};

class ModuleExports : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        if (::GetFileAttributesA(BesideThisProgram("Parlix.dll").c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "Parlix.dll is not built beside the tests";
    }
};

TEST_F(ModuleExports, AttachLoadsTheSettingsAndTheHookKeepsOnlyTheNewerHandle) {
    LoadedModule module(BesideThisProgram("Parlix.dll"));
    ASSERT_NE(module.get(), nullptr);
    // The application object ran at attach: reading the settings created the keys.
    EXPECT_TRUE(KeyExists(kAppKey));

    const auto install = module.Export<InstallHookFn>("InstallHook");
    const auto uninstall = module.Export<UninstallHookFn>("UninstallHook");
    const auto setHotKeys = module.Export<SetHotKeysFn>("SetHotKeys");
    const auto hookProc = module.Export<HookProcFn>("HookProc");
    ASSERT_TRUE(install && uninstall && setHotKeys && hookProc);
    EXPECT_EQ(module.Export<void*>("DllMain"), nullptr) << "only the four exports";

    uninstall();  // nothing installed yet: harmless
    const HHOOK first = install();
    const HHOOK second = install();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    uninstall();
    // The block held only the newer hook: the first is still installed, the second gone.
    EXPECT_FALSE(::UnhookWindowsHookEx(second));
    EXPECT_TRUE(::UnhookWindowsHookEx(first));
    uninstall();  // already removed: does nothing
    uninstall();
}

TEST_F(ModuleExports, KeysThatAreNotHotKeysArePassedOn) {
    LoadedModule module(BesideThisProgram("Parlix.dll"));
    ASSERT_NE(module.get(), nullptr);
    const auto setHotKeys = module.Export<SetHotKeysFn>("SetHotKeys");
    const auto hookProc = module.Export<HookProcFn>("HookProc");
    ASSERT_TRUE(setHotKeys && hookProc);
    setHotKeys('Y', 'U', 'P', 0);
    // This thread has no active window, so even a hot key is passed on (0 from the
    // end of the chain) rather than swallowed (1).
    EXPECT_EQ(hookProc(HC_ACTION, 'Y', 0), 0);
    EXPECT_EQ(hookProc(HC_ACTION, 'A', 0), 0);
    EXPECT_EQ(hookProc(-1, 'Y', 0), 0);
}

TEST_F(ModuleExports, ACopyUnderAnotherNameReadsTheSameProfileButInstallsNothing) {
    const std::string copy = BesideThisProgram("ParlixCopy.dll");
    ASSERT_TRUE(::CopyFileA(BesideThisProgram("Parlix.dll").c_str(), copy.c_str(), FALSE));
    {
        LoadedModule module(copy);
        ASSERT_NE(module.get(), nullptr);
        EXPECT_TRUE(KeyExists(kAppKey));
        EXPECT_FALSE(KeyExists("Software\\Kelvandor\\ParlixCopy"));
        const auto install = module.Export<InstallHookFn>("InstallHook");
        ASSERT_NE(install, nullptr);
        EXPECT_EQ(install(), nullptr) << "no module named Parlix.dll in this process";
    }
    ::DeleteFileA(copy.c_str());
}

}  // namespace
