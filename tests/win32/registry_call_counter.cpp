#include "registry_call_counter.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "import_patch.h"

namespace {

int g_calls = 0;

template <auto& Original, class R, class... Args>
R WINAPI Counted(Args... args) {
    ++g_calls;
    return Original(args...);
}

decltype(&::RegOpenKeyExA) g_openKeyEx;
decltype(&::RegCreateKeyExA) g_createKeyEx;
decltype(&::RegQueryValueExA) g_queryValueEx;
decltype(&::RegSetValueExA) g_setValueEx;
decltype(&::RegOpenKeyExW) g_openKeyExW;
decltype(&::RegCreateKeyExW) g_createKeyExW;
decltype(&::RegQueryValueExW) g_queryValueExW;
decltype(&::RegSetValueExW) g_setValueExW;
decltype(&::RegCloseKey) g_closeKey;
decltype(&::RegGetValueW) g_getValueW;

template <auto& Original, class R, class... Args>
std::unique_ptr<ImportPatch> Patch(const char* name, R(WINAPI*)(Args...)) {
    return std::make_unique<ImportPatch>("ADVAPI32.dll", name, reinterpret_cast<void*>(&Counted<Original, R, Args...>),
                                         reinterpret_cast<void**>(&Original));
}

std::vector<std::unique_ptr<ImportPatch>> g_patches;

int PatchImports() {
    g_patches.clear();
    g_patches.push_back(Patch<g_openKeyEx>("RegOpenKeyExA", &::RegOpenKeyExA));
    g_patches.push_back(Patch<g_createKeyEx>("RegCreateKeyExA", &::RegCreateKeyExA));
    g_patches.push_back(Patch<g_queryValueEx>("RegQueryValueExA", &::RegQueryValueExA));
    g_patches.push_back(Patch<g_setValueEx>("RegSetValueExA", &::RegSetValueExA));
    // The settings, the history and the Run value go through the wide API.
    g_patches.push_back(Patch<g_openKeyExW>("RegOpenKeyExW", &::RegOpenKeyExW));
    g_patches.push_back(Patch<g_createKeyExW>("RegCreateKeyExW", &::RegCreateKeyExW));
    g_patches.push_back(Patch<g_queryValueExW>("RegQueryValueExW", &::RegQueryValueExW));
    g_patches.push_back(Patch<g_setValueExW>("RegSetValueExW", &::RegSetValueExW));
    g_patches.push_back(Patch<g_closeKey>("RegCloseKey", &::RegCloseKey));
    g_patches.push_back(Patch<g_getValueW>("RegGetValueW", &::RegGetValueW));
    int patched = 0;
    for (const auto& patch : g_patches) patched += patch->Patched() ? 1 : 0;
    return patched;
}

}  // namespace

RegistryCallCounter::RegistryCallCounter() : m_patched(PatchImports()) { g_calls = 0; }

RegistryCallCounter::~RegistryCallCounter() { g_patches.clear(); }

int RegistryCallCounter::Calls() const noexcept { return g_calls; }
