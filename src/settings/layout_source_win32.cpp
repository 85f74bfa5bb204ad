#include "settings/layout_source_win32.h"

#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <vector>

#include "settings/text_services_win32.h"

namespace {

HKL ToHkl(std::uintptr_t hkl) noexcept { return reinterpret_cast<HKL>(hkl); }

}  // namespace

int SystemLayoutSource::CountLayouts() { return ::GetKeyboardLayoutList(0, nullptr); }

int SystemLayoutSource::ListLayouts(std::uintptr_t* buffer, int count) {
    if (count <= 0) return 0;
    try {
        // HKL and uintptr_t have the same size, but not the same type.
        std::vector<HKL> layouts(static_cast<std::size_t>(count));
        const int listed = std::clamp(::GetKeyboardLayoutList(count, layouts.data()), 0, count);
        for (int i = 0; i < listed; ++i)
            buffer[i] = reinterpret_cast<std::uintptr_t>(layouts[static_cast<std::size_t>(i)]);
        return listed;
    } catch (...) {
        return 0;  // no memory: no layouts
    }
}

int SystemLayoutSource::DescriptionLength(std::uintptr_t hkl) {
    return static_cast<int>(::ImmGetDescriptionW(ToHkl(hkl), nullptr, 0));
}

int SystemLayoutSource::Description(std::uintptr_t hkl, char16_t* buffer, int size) {
    if (size <= 0) return 0;
    // wchar_t is UTF-16 on this platform.
    return static_cast<int>(
        ::ImmGetDescriptionW(ToHkl(hkl), reinterpret_cast<wchar_t*>(buffer), static_cast<UINT>(size)));
}

void SystemLayoutSource::AddTextServices(TextServiceList& list) {
    const InputProfiles profiles;
    if (profiles.Manager() != nullptr) AddTextServiceProfiles(*profiles.Manager(), list);
}

bool SystemEqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return ::CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                                  reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}
