// The installed keyboard layouts, as the layout catalogue asks for them.
#pragma once

#include "settings/layout_catalog.h"

class SystemLayoutSource final : public LayoutSource {
public:
    int CountLayouts() override;
    int ListLayouts(std::uintptr_t* buffer, int count) override;
    int DescriptionLength(std::uintptr_t hkl) override;
    int Description(std::uintptr_t hkl, char16_t* buffer, int size) override;
    // The enabled keyboard text services, through the profile manager.
    void AddTextServices(TextServiceList& list) override;
};

// The system's rule for letter case: both texts mapped to upper case character by
// character, whatever their script.
bool SystemEqualIgnoringCase(std::u16string_view a, std::u16string_view b);
