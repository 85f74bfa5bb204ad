#include "framework/win_app_win32.h"

#include <array>

#include "framework/wide_text_win32.h"

// The linker's symbol for the base of the image this code is linked into: the
// module in the product, the test program in the tests.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

CWinApp* g_app = nullptr;
// Null until the entry point names the module; the statics of other files may be
// constructed before this file's, so nothing here needs dynamic initialisation.
HINSTANCE g_instance = nullptr;
HINSTANCE g_resources = nullptr;

HINSTANCE ThisImage() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// Wide: a folder whose name the ANSI code page cannot hold must not cost the name.
std::string ModuleBaseName(HINSTANCE module) {
    std::array<wchar_t, MAX_PATH> path{};
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    std::wstring_view name(path.data(), length);
    if (const auto slash = name.find_last_of(L"\\/"); slash != std::wstring_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (const auto dot = name.find_last_of(L'.'); dot != std::wstring_view::npos) {
        name = name.substr(0, dot);
    }
    return Utf8FromWide(name);
}

}  // namespace

CWinApp::CWinApp() {
    g_app = this;
    m_hInstance = AfxGetInstanceHandle();
    // The module's application is a static object, built by the loader's call into
    // the module: an exception out of here would end the process that maps it.
    try {
        m_appName = ModuleBaseName(m_hInstance);
        m_profileName = m_appName;
    } catch (...) {
        m_appName.clear();  // no memory for the name: message boxes go without a caption
    }
    m_pszAppName = m_appName.c_str();
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::SetRegistryKey(std::string_view maker) {
    // Built and moved in: assign would bring the string's general replace into the
    // module for these two calls alone.
    m_registryKey = std::string(maker);
    m_profileName = m_appName;
}

void CWinApp::SetProfileName(std::string_view profileName) { m_profileName = std::string(profileName); }

CWinApp* AfxGetApp() noexcept { return g_app; }

HINSTANCE AfxGetInstanceHandle() noexcept { return g_instance ? g_instance : ThisImage(); }

HINSTANCE AfxGetResourceHandle() noexcept { return g_resources ? g_resources : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE resources) noexcept { g_resources = resources; }

void AfxSetInstanceHandle(HINSTANCE module) noexcept {
    g_instance = module;
    if (g_app) g_app->m_hInstance = module;
}
