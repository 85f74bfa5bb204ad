// The installed keyboard layouts that have an IME description, to find the one
// the settings name by its description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where the layouts come from; the platform's source answers with
// GetKeyboardLayoutList and ImmGetDescriptionA. Layout handles are pointer-sized.
class LayoutSource {
public:
    virtual ~LayoutSource() = default;
    // The number of installed layouts.
    virtual int CountLayouts() = 0;
    // Fills up to count handles into buffer; returns how many it stored.
    virtual int ListLayouts(std::uintptr_t* buffer, int count) = 0;
    // The description's length in bytes without terminator; 0 for a layout that is
    // not an IME.
    virtual int DescriptionLength(std::uintptr_t hkl) = 0;
    // Copies up to size bytes of the description; returns the bytes copied, 0 on failure.
    virtual int Description(std::uintptr_t hkl, char* buffer, int size) = 0;
};

// How the ANSI code page forms double-byte characters. The default has none, so
// every byte is a character of its own.
struct MultibyteRules {
    bool (*isLeadByte)(unsigned char) = nullptr;
    // The upper-case form of a double-byte character (lead byte in bits 8..15).
    unsigned (*upperDoubleByte)(unsigned) = nullptr;
};

struct LayoutEntry {
    std::uintptr_t hkl;
    std::string description;  // never empty
};

class CLayoutCatalog {
public:
    // Lists the layouts now; what cannot be listed is left out, nothing fails.
    explicit CLayoutCatalog(LayoutSource& source);
    virtual ~CLayoutCatalog() = default;
    CLayoutCatalog(const CLayoutCatalog&) = delete;
    CLayoutCatalog& operator=(const CLayoutCatalog&) = delete;

    // The handle of the first entry whose description equals the text, letter case
    // aside as the code page has it; 0 when none does.
    std::uintptr_t FindByDescription(std::string_view text, const MultibyteRules& rules = {}) const;

    const std::vector<LayoutEntry>& Entries() const noexcept { return m_entries; }

private:
    std::vector<LayoutEntry> m_entries;  // in the order the source lists the layouts
};
