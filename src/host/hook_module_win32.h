// Parlix.dll as the host drives it: loaded from the host's own folder under that
// exact name (InstallHook finds its module by it), hot keys, hook in and out.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "hook/exports_win32.h"

class HookModule {
public:
    HookModule() = default;
    HookModule(const HookModule&) = delete;
    HookModule& operator=(const HookModule&) = delete;
    ~HookModule();

    // Loads the module and finds its exports; false with Problem() set otherwise.
    bool Load(const std::wstring& folder);
    void SetHotKeys(const std::array<std::uint16_t, 4>& codes) noexcept;
    // False with Problem() set when the module refused the hook.
    bool Install() noexcept;
    // Harmless when no hook is installed; safe to call more than once.
    void Uninstall() noexcept;

    bool Installed() const noexcept { return m_installed; }
    const std::wstring& Problem() const noexcept { return m_problem; }

private:
    HMODULE m_module = nullptr;
    SetHotKeysFn m_setHotKeys = nullptr;
    InstallHookFn m_installHook = nullptr;
    UninstallHookFn m_uninstallHook = nullptr;
    bool m_installed = false;
    std::wstring m_problem;
};
