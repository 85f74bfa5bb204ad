#include "registry_call_counter.h"

#include <array>
#include <cctype>
#include <string_view>

namespace {

int g_calls = 0;

// One wrapper per registry function: counts, then calls the original.
template <auto& Original, class R, class... Args>
struct Counted {
    static R WINAPI Call(Args... args) {
        ++g_calls;
        return Original(args...);
    }
};

#define PARLIX_COUNTED(name, R, ...)                                    \
    decltype(&::name) g_original_##name = nullptr;                      \
    using Counted_##name = Counted<g_original_##name, R, __VA_ARGS__>;

PARLIX_COUNTED(RegOpenKeyExA, LONG, HKEY, LPCSTR, DWORD, REGSAM, PHKEY)
PARLIX_COUNTED(RegCreateKeyExA, LONG, HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
               LPDWORD)
PARLIX_COUNTED(RegQueryValueExA, LONG, HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
PARLIX_COUNTED(RegSetValueExA, LONG, HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD)
PARLIX_COUNTED(RegCloseKey, LONG, HKEY)
PARLIX_COUNTED(RegOpenKeyA, LONG, HKEY, LPCSTR, PHKEY)
PARLIX_COUNTED(RegEnumKeyA, LONG, HKEY, DWORD, LPSTR, DWORD)
PARLIX_COUNTED(RegDeleteKeyA, LONG, HKEY, LPCSTR)

struct Redirect {
    const char* name;
    void** original;
    void* wrapper;
};

#define PARLIX_REDIRECT(name)                                                       \
    Redirect {                                                                      \
        #name, reinterpret_cast<void**>(&g_original_##name),                        \
            reinterpret_cast<void*>(&Counted_##name::Call)                          \
    }

std::array<Redirect, 8> g_redirects = {
    PARLIX_REDIRECT(RegOpenKeyExA),  PARLIX_REDIRECT(RegCreateKeyExA), PARLIX_REDIRECT(RegQueryValueExA),
    PARLIX_REDIRECT(RegSetValueExA), PARLIX_REDIRECT(RegCloseKey),     PARLIX_REDIRECT(RegOpenKeyA),
    PARLIX_REDIRECT(RegEnumKeyA),    PARLIX_REDIRECT(RegDeleteKeyA)};

bool SameDllName(const char* a, std::string_view b) {
    std::size_t i = 0;
    for (; a[i] != '\0' && i < b.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return a[i] == '\0' && i == b.size();
}

void WriteSlot(void** slot, void* value) {
    DWORD old = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    ::VirtualProtect(slot, sizeof *slot, old, &old);
}

// Walks this program's ADVAPI32 imports; install swaps originals for wrappers,
// uninstall puts them back. Returns the number of slots changed.
int PatchImports(bool install) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int changed = 0;
    for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (!SameDllName(reinterpret_cast<const char*>(base + import->Name), "ADVAPI32.dll")) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (Redirect& redirect : g_redirects) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), redirect.name) != 0) continue;
                void** slot = reinterpret_cast<void**>(&slots->u1.Function);
                if (install) {
                    *redirect.original = *slot;
                    WriteSlot(slot, redirect.wrapper);
                } else if (*redirect.original != nullptr) {
                    WriteSlot(slot, *redirect.original);
                }
                ++changed;
            }
        }
    }
    return changed;
}

}  // namespace

RegistryCallCounter::RegistryCallCounter() {
    g_calls = 0;
    m_patched = PatchImports(true);
}

RegistryCallCounter::~RegistryCallCounter() { PatchImports(false); }

int RegistryCallCounter::Calls() const noexcept { return g_calls; }
