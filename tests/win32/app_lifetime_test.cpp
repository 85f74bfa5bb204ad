// The application object and the per-process values it sets up.
#include <windows.h>

#include <gtest/gtest.h>


#include "app/hook_app_win32.h"
#include "hook/process_arguments_win32.h"
#include "registry_test_support.h"
#include "settings/app_settings.h"
#include "test_arguments.h"

namespace {

using AppLifetime = RegistryTest;

TEST_F(AppLifetime, ProfileIsTheProductsWhateverTheFileIsCalled) {
    CHookApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    // This program is not Parlix.dll: the name follows the file, the profile does not.
    EXPECT_STREQ(app.AppName(), "parlix_win32_tests");
    EXPECT_EQ(app.m_hInstance, ::GetModuleHandleA(nullptr));
    PutString(kAppKey, "Send Key", "F5");
    EXPECT_EQ(app.InitInstance(), TRUE);
    EXPECT_EQ(app.RegistryKey(), "Kelvandor");
    EXPECT_EQ(app.ProfileName(), "Parlix");
    EXPECT_EQ(GetAppSettings().m_strKeys[3], "F5");
    EXPECT_FALSE(KeyExists("Software\\Kelvandor\\parlix_win32_tests"));
    app.ExitInstance();
}

TEST_F(AppLifetime, RegistryKeyStartsTheProfileOverAsTheAppName) {
    CWinApp app;
    app.SetProfileName("Other");
    app.SetRegistryKey("Maker");
    EXPECT_EQ(app.RegistryKey(), "Maker");
    EXPECT_EQ(app.ProfileName(), app.AppName());
}

TEST_F(AppLifetime, TheApplicationIsForgottenWhenItGoes) {
    {
        CWinApp app;
        ASSERT_EQ(AfxGetApp(), &app);
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
}

TEST_F(AppLifetime, SettingsLiveFromFirstUseUntilTheAppExits) {
    CHookApp app;
    CAppSettings& first = GetAppSettings();
    EXPECT_EQ(&GetAppSettings(), &first);
    app.InitInstance();
    EXPECT_EQ(&GetAppSettings(), &first) << "the load fills the record already in use";
    EXPECT_EQ(first.m_strKeys[3], "F12");
    app.ExitInstance();
    // After the exit the record is gone; the next use starts an empty one.
    EXPECT_EQ(GetAppSettings().m_strKeys[3], "");
    FreeAppSettings();
    FreeAppSettings();  // freeing nothing is harmless
}

TEST(ProcessArgumentsTest, SplitLikeTheRuntimesOwnArgv) {
    const std::vector<std::string>& arguments = ProcessArguments();
    // ctest passes arguments with a blank and a backslash, so the comparison covers
    // quoting as well as separation.
    EXPECT_EQ(arguments, g_runtimeArguments);
    EXPECT_EQ(&ProcessArguments(), &arguments) << "split once";
}

}  // namespace
