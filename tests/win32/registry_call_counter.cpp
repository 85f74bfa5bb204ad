#include "registry_call_counter.h"

#include <windows.h>

#include <cstring>

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

struct Redirect {
    const char* name;
    void** original;
    void* wrapper;
};

template <auto& Original, class R, class... Args>
Redirect MakeRedirect(const char* name, R(WINAPI*)(Args...)) {
    return {name, reinterpret_cast<void**>(&Original), reinterpret_cast<void*>(&Counted<Original, R, Args...>)};
}

const Redirect g_redirects[] = {
    MakeRedirect<g_openKeyEx>("RegOpenKeyExA", &::RegOpenKeyExA),
    MakeRedirect<g_createKeyEx>("RegCreateKeyExA", &::RegCreateKeyExA),
    MakeRedirect<g_queryValueEx>("RegQueryValueExA", &::RegQueryValueExA),
    MakeRedirect<g_setValueEx>("RegSetValueExA", &::RegSetValueExA),
    // The settings, the history and the Run value go through the wide API.
    MakeRedirect<g_openKeyExW>("RegOpenKeyExW", &::RegOpenKeyExW),
    MakeRedirect<g_createKeyExW>("RegCreateKeyExW", &::RegCreateKeyExW),
    MakeRedirect<g_queryValueExW>("RegQueryValueExW", &::RegQueryValueExW),
    MakeRedirect<g_setValueExW>("RegSetValueExW", &::RegSetValueExW),
    MakeRedirect<g_closeKey>("RegCloseKey", &::RegCloseKey),
    MakeRedirect<g_getValueW>("RegGetValueW", &::RegGetValueW),
};

// install swaps the originals for the wrappers, otherwise puts them back.
int PatchImports(bool install) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    int changed = 0;
    for (; import->Name != 0; ++import) {
        if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "ADVAPI32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const char* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
            for (const Redirect& redirect : g_redirects) {
                if (std::strcmp(name, redirect.name) != 0) continue;
                void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                if (install) *redirect.original = *slot;
                DWORD old = 0;
                ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
                *slot = install ? redirect.wrapper : *redirect.original;
                ::VirtualProtect(slot, sizeof *slot, old, &old);
                ++changed;
            }
        }
    }
    return changed;
}

}  // namespace

RegistryCallCounter::RegistryCallCounter() : m_patched(PatchImports(true)) { g_calls = 0; }

RegistryCallCounter::~RegistryCallCounter() { PatchImports(false); }

int RegistryCallCounter::Calls() const noexcept { return g_calls; }
