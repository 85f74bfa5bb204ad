// The application object and the per-process values it sets up.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/hook_app_win32.h"
#include "hook/process_arguments_win32.h"
#include "registry_test_support.h"
#include "settings/app_settings_instance.h"
#include "test_arguments.h"

namespace {

using AppLifetime = RegistryTest;

TEST_F(AppLifetime, ProfileIsTheProductsWhateverTheFileIsCalled) {
    {
        CHookApp app;
        EXPECT_EQ(AfxGetApp(), &app);
        // This program is not Parlix.dll: the name follows the file, the profile does not.
        EXPECT_STREQ(app.AppName(), "parlix_win32_tests");
        EXPECT_EQ(app.m_hInstance, ::GetModuleHandleA(nullptr));
        PutString(kAppKey, "Send Key", "F5");
        CAppSettings& early = GetAppSettings();
        EXPECT_EQ(app.InitInstance(), TRUE);
        EXPECT_EQ(app.ProfileName(), "Parlix");
        EXPECT_EQ(&GetAppSettings(), &early) << "the load fills the record already in use";
        EXPECT_EQ(early.m_strKeys[3], "F5");
        EXPECT_EQ(Contents("Software\\Kelvandor"), std::set<std::string>{"Parlix\\"});
        app.ExitInstance();
        EXPECT_EQ(GetAppSettings().m_strKeys[3], "") << "the exit freed the record; a new one starts empty";
        FreeAppSettings();
        FreeAppSettings();
        // SetRegistryKey starts the profile over as the application name.
        app.SetRegistryKey("Maker");
        EXPECT_EQ(app.ProfileName(), app.AppName());
    }
    EXPECT_EQ(AfxGetApp(), nullptr) << "a destroyed application is forgotten";
}

TEST(ProcessArgumentsTest, SplitLikeTheRuntimesOwnArgv) {
    // ctest passes a blank inside quotes and backslashes before a quote.
    EXPECT_EQ(ProcessArguments(), g_runtimeArguments);
    EXPECT_EQ(&ProcessArguments(), &ProcessArguments()) << "split once";
}

}  // namespace
