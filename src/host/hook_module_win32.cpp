#include "hook_module_win32.h"

#include "host_log_win32.h"
#include "host_text_win32.h"

namespace {

template <class Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

std::string Hex(unsigned value) {
    char buffer[16];
    wsprintfA(buffer, "0x%x", value);
    return buffer;
}

}  // namespace

HookModule::~HookModule() {
    Uninstall();
    if (m_module) ::FreeLibrary(m_module);
}

bool HookModule::Load(const std::wstring& folder) {
    const std::wstring path = folder + L"Parlix.dll";
    m_module = ::LoadLibraryW(path.c_str());
    if (!m_module) {
        DWORD error = ::GetLastError();
        m_problem = UiText(HostText::ModuleNotLoaded, {Utf8FromWide(folder), Utf8FromWide(SystemErrorText(error))}) +
                    (error == ERROR_BAD_EXE_FORMAT ? UiText(HostText::ModuleOtherBitness) : L"");
        HostLog("load-failed " + std::to_string(error));
        return false;
    }
    m_setHotKeys = Export<SetHotKeysFn>(m_module, "SetHotKeys");
    m_installHook = Export<InstallHookFn>(m_module, "InstallHook");
    m_uninstallHook = Export<UninstallHookFn>(m_module, "UninstallHook");
    if (!m_setHotKeys || !m_installHook || !m_uninstallHook) {
        m_problem = UiText(HostText::ModuleNotParlix, {Utf8FromWide(folder)});
        HostLog("export-missing");
        return false;
    }
    HostLog("loaded");
    return true;
}

void HookModule::SetHotKeys(const std::array<std::uint16_t, 4>& codes) noexcept {
    if (!m_setHotKeys) return;
    m_setHotKeys(codes[0], codes[1], codes[2], codes[3]);
    HostLog("hotkeys " + Hex(codes[0]) + " " + Hex(codes[1]) + " " + Hex(codes[2]) + " " + Hex(codes[3]));
}

bool HookModule::Install() noexcept {
    if (!m_installHook) return false;
    if (m_installed) return true;  // a second hook would stay behind after UninstallHook
    if (m_installHook() == nullptr) {
        DWORD error = ::GetLastError();
        m_problem = error != ERROR_SUCCESS
                        ? UiText(HostText::HookRefusedBecause, {Utf8FromWide(SystemErrorText(error))})
                        : UiText(HostText::HookRefused);
        HostLog("install-failed");
        return false;
    }
    m_installed = true;
    HostLog("installed");
    return true;
}

void HookModule::Uninstall() noexcept {
    if (!m_installed || !m_uninstallHook) return;
    m_uninstallHook();
    m_installed = false;
    HostLog("uninstalled");
}
