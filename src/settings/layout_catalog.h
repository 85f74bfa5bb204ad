// The installed keyboard layouts that have an IME description, to find the one
// the settings name by its description.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A text service's keyboard profile as the platform names it: its language, the
// service's class id and the profile's id, each GUID in its in-memory bytes.
struct TextServiceProfile {
    std::uint16_t language = 0;
    std::array<std::uint8_t, 16> service{};
    std::array<std::uint8_t, 16> profile{};
};

// What a source hands the text services to, one by one.
class TextServiceList {
public:
    // Takes a copy of what it keeps; what it has no room for is left out.
    virtual void Add(std::u16string_view description, const TextServiceProfile& profile) noexcept = 0;

protected:
    ~TextServiceList() = default;
};

// Where the layouts come from; the platform's source answers with
// GetKeyboardLayoutList and ImmGetDescriptionW, and adds the TSF text services.
// Layout handles are pointer-sized; descriptions are UTF-16, as the platform
// keeps them, so that no code page can turn an IME's name into question marks.
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
    // Appends the enabled keyboard text services (input methods that share a plain
    // layout rather than have one of their own), in the order the platform lists
    // them; none by default.
    virtual void AddTextServices(TextServiceList& /*list*/) {}
};

// Whether two texts are equal with letter case aside. The platform's rule maps
// every character to upper case as the system does (CompareStringOrdinal); null
// folds ASCII letters only.
using EqualIgnoringCase = bool (*)(std::u16string_view, std::u16string_view);

struct LayoutEntry {
    std::uintptr_t hkl;
    std::u16string description;  // never empty
    bool textService = false;    // a TSF profile: `profile` says which, `hkl` is 0
    TextServiceProfile profile{};
};

class CLayoutCatalog {
public:
    // Lists the layouts now; what cannot be listed is left out, nothing fails.
    explicit CLayoutCatalog(LayoutSource& source);
    virtual ~CLayoutCatalog() = default;
    CLayoutCatalog(const CLayoutCatalog&) = delete;
    CLayoutCatalog& operator=(const CLayoutCatalog&) = delete;

    // The first entry whose description equals the text, letter case aside; null
    // when none does. A text that equals no description but one without its last
    // unit, as earlier versions fetched the descriptions and so saved them, still
    // finds that entry.
    const LayoutEntry* Find(std::u16string_view text, EqualIgnoringCase equal = nullptr) const;
    // The same for a UTF-8 text, as the settings hold it.
    const LayoutEntry* FindUtf8(std::string_view text, EqualIgnoringCase equal = nullptr) const;
    // The found entry's layout handle; 0 when none is found.
    std::uintptr_t FindByDescription(std::u16string_view text, EqualIgnoringCase equal = nullptr) const {
        const LayoutEntry* entry = Find(text, equal);
        return entry != nullptr ? entry->hkl : 0;
    }

    const std::vector<LayoutEntry>& Entries() const noexcept { return m_entries; }

private:
    // The IMEs in the order the source lists the layouts, then the text services
    // in the order the source adds them.
    std::vector<LayoutEntry> m_entries;
};
