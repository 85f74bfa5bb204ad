#include "app/hook_app_win32.h"

#include "settings/app_settings_instance.h"
#include "settings/registry_profile_store_win32.h"
#include "settings/run_value_win32.h"

BOOL CHookApp::InitInstance() {
    CWinApp::InitInstance();
    SetRegistryKey(kRegistryMaker);
    // The application name follows the file name; the profile must not.
    SetProfileName(kRegistryProfile);
    try {
        CAppSettings& settings = GetAppSettings();
        // One store for the whole load, so the key chain is opened once.
        RegistryProfileStore profile(RegistryKey(), ProfileName());
        settings.Load(profile);
        // Whether the value names a program, as the host reads it; the path itself
        // is not looked at in here.
        settings.m_bAutoRun = ReadRunProgram().empty() ? 0 : 1;
    } catch (...) {
        // Out of memory while loading: whatever was read stays, the rest keeps its
        // default, and the module still enters the process.
    }
    return TRUE;
}

int CHookApp::ExitInstance() {
    FreeAppSettings();
    return CWinApp::ExitInstance();
}
