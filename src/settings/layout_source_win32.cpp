#include "settings/layout_source_win32.h"

#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <vector>

namespace {

HKL ToHkl(std::uintptr_t hkl) noexcept { return reinterpret_cast<HKL>(hkl); }

bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

unsigned UpperAnsiDoubleByte(unsigned character) {
    char pair[2] = {static_cast<char>(character >> 8), static_cast<char>(character & 0xFF)};
    ::CharUpperBuffA(pair, 2);
    return (unsigned{static_cast<unsigned char>(pair[0])} << 8) | static_cast<unsigned char>(pair[1]);
}

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
    return static_cast<int>(::ImmGetDescriptionA(ToHkl(hkl), nullptr, 0));
}

int SystemLayoutSource::Description(std::uintptr_t hkl, char* buffer, int size) {
    if (size <= 0) return 0;
    return static_cast<int>(::ImmGetDescriptionA(ToHkl(hkl), buffer, static_cast<UINT>(size)));
}

MultibyteRules AnsiMultibyteRules() noexcept { return MultibyteRules{&IsAnsiLeadByte, &UpperAnsiDoubleByte}; }
