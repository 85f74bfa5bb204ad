// The application object of a module or program: which module it is, what it is
// called, and under which registry key its profile lives. One per process; the
// module's entry point calls InitInstance once at attach and ExitInstance once at
// detach.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

class CWinApp {
public:
    // Registers this object as the process's application and names it after the
    // file of the module it is linked into, without directory and extension.
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Nonzero for success.
    virtual BOOL InitInstance();
    // The exit code, which nothing uses.
    virtual int ExitInstance();

    // Keeps the maker key and starts the profile name over as the application name,
    // so the profile lives in HKEY_CURRENT_USER\Software\<maker>\<app name>.
    void SetRegistryKey(std::string_view maker);
    void SetProfileName(std::string_view profileName);

    const char* AppName() const noexcept { return m_pszAppName; }
    const std::string& RegistryKey() const noexcept { return m_registryKey; }
    const std::string& ProfileName() const noexcept { return m_profileName; }

    HINSTANCE m_hInstance = nullptr;
    const char* m_pszAppName = "";

private:
    std::string m_appName;
    std::string m_registryKey;
    std::string m_profileName;
};

// The process's application object, or null when none exists.
CWinApp* AfxGetApp() noexcept;
// The module the framework is linked into.
HINSTANCE AfxGetInstanceHandle() noexcept;
// Where dialog templates and strings are loaded from; the module itself unless a
// program (a test) points it elsewhere.
HINSTANCE AfxGetResourceHandle() noexcept;
void AfxSetResourceHandle(HINSTANCE resources) noexcept;
// Called by the module's entry point with the handle the loader passes it.
void AfxSetInstanceHandle(HINSTANCE module) noexcept;
