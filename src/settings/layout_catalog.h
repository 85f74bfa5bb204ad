// The installed keyboard layouts that have an IME description, to find the one
// the settings name by its description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where the layouts come from; the platform's source answers with
// GetKeyboardLayoutList and ImmGetDescriptionW. Layout handles are pointer-sized;
// descriptions are UTF-16, as the platform keeps them, so that no code page can
// turn an IME's name into question marks.
class LayoutSource {
public:
    virtual ~LayoutSource() = default;
    // The number of installed layouts.
    virtual int CountLayouts() = 0;
    // Fills up to count handles into buffer; returns how many it stored.
    virtual int ListLayouts(std::uintptr_t* buffer, int count) = 0;
    // The description's length in UTF-16 units without terminator; 0 for a layout
    // that is not an IME.
    virtual int DescriptionLength(std::uintptr_t hkl) = 0;
    // Copies the description into a buffer of size units, terminator included (the
    // wide API copies at most size - 1 units and ends them with one); returns the
    // units copied, 0 on failure.
    virtual int Description(std::uintptr_t hkl, char16_t* buffer, int size) = 0;
};

// Whether two texts are equal with letter case aside. The platform's rule maps
// every character to upper case as the system does (CompareStringOrdinal); null
// folds ASCII letters only.
using EqualIgnoringCase = bool (*)(std::u16string_view, std::u16string_view);

struct LayoutEntry {
    std::uintptr_t hkl;
    std::u16string description;  // never empty
};

class CLayoutCatalog {
public:
    // Lists the layouts now; what cannot be listed is left out, nothing fails.
    explicit CLayoutCatalog(LayoutSource& source);
    virtual ~CLayoutCatalog() = default;
    CLayoutCatalog(const CLayoutCatalog&) = delete;
    CLayoutCatalog& operator=(const CLayoutCatalog&) = delete;

    // The handle of the first entry whose description equals the text, letter
    // case aside; 0 when none does. A text that equals no description but one
    // without its last unit, as earlier versions fetched the descriptions and so
    // saved them, still finds that entry.
    std::uintptr_t FindByDescription(std::u16string_view text, EqualIgnoringCase equal = nullptr) const;
    // The same for a UTF-8 text, as the settings hold it.
    std::uintptr_t FindByDescriptionUtf8(std::string_view text, EqualIgnoringCase equal = nullptr) const;

    const std::vector<LayoutEntry>& Entries() const noexcept { return m_entries; }

private:
    std::vector<LayoutEntry> m_entries;  // in the order the source lists the layouts
};
