// The installed keyboard layouts and the ANSI code page, as the layout catalogue
// asks for them.
#pragma once

#include "settings/layout_catalog.h"

class SystemLayoutSource final : public LayoutSource {
public:
    int CountLayouts() override;
    int ListLayouts(std::uintptr_t* buffer, int count) override;
    int DescriptionLength(std::uintptr_t hkl) override;
    int Description(std::uintptr_t hkl, char* buffer, int size) override;
};

// Double-byte characters of the process's ANSI code page, upper-cased by its rules.
MultibyteRules AnsiMultibyteRules() noexcept;
