// The module's application object: one per process, it gives the process the
// module's registry identity and loads the settings when the module enters it.
#pragma once

#include "framework/win_app_win32.h"

inline constexpr const char* kRegistryMaker = "Kelvandor";
inline constexpr const char* kRegistryProfile = "Parlix";

class CHookApp : public CWinApp {
public:
    ~CHookApp() override = default;
    // Sets Software\Kelvandor\Parlix as the profile, whatever the module file is
    // called, and loads the settings record from it. Always 1.
    BOOL InitInstance() override;
    // Frees the settings record.
    int ExitInstance() override;
};
