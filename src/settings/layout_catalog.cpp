#include "settings/layout_catalog.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <limits>

#include "common/ascii.h"
#include "common/utf8.h"

namespace {

// One entry for a handle, or nothing when the layout has no description or the
// description cannot be had.
bool ReadEntry(LayoutSource& source, std::uintptr_t hkl, std::vector<LayoutEntry>& entries) {
    const int length = source.DescriptionLength(hkl);
    if (length <= 0) return false;  // not an IME
    if (length == std::numeric_limits<int>::max()) return false;  // no room to say the size
    // One unit more than the length, for the terminator: the wide API counts it in
    // the size, and given only the length it would cut the description's last
    // character.
    std::u16string buffer(static_cast<std::size_t>(length) + 1, u'\0');
    const int copied = source.Description(hkl, buffer.data(), length + 1);
    if (copied <= 0) return false;
    buffer.resize(static_cast<std::size_t>(std::min(copied, length)));
    // The description is used as a C string: a NUL inside it ends it, and an entry
    // that is empty that way would match an empty selection, so it is left out.
    buffer.resize(std::min(buffer.size(), buffer.find(u'\0')));
    if (buffer.empty()) return false;
    entries.push_back({hkl, std::move(buffer)});
    return true;
}

}  // namespace

CLayoutCatalog::CLayoutCatalog(LayoutSource& source) {
    const int count = source.CountLayouts();
    if (count <= 0) return;
    std::vector<std::uintptr_t> handles;
    try {
        handles.resize(static_cast<std::size_t>(count));
    } catch (const std::exception&) {
        return;  // no room for the handles: the catalogue stays empty
    }
    const int listed = std::clamp(source.ListLayouts(handles.data(), count), 0, count);
    for (int i = 0; i < listed; ++i) {
        try {
            ReadEntry(source, handles[static_cast<std::size_t>(i)], m_entries);
        } catch (const std::exception&) {
            // Out of memory for this one description: only it is left out.
        }
    }
}

std::uintptr_t CLayoutCatalog::FindByDescription(std::u16string_view text, EqualIgnoringCase equal) const {
    text = text.substr(0, text.find(u'\0'));
    if (equal == nullptr) equal = &EqualIgnoringAsciiCase<char16_t, char16_t>;
    for (const LayoutEntry& entry : m_entries) {
        if (equal(entry.description, text)) return entry.hkl;
    }
    if (text.empty()) return 0;
    for (const LayoutEntry& entry : m_entries) {
        const std::u16string_view cut(entry.description.data(), entry.description.size() - 1);
        if (equal(cut, text)) return entry.hkl;
    }
    return 0;
}

std::uintptr_t CLayoutCatalog::FindByDescriptionUtf8(std::string_view text, EqualIgnoringCase equal) const {
    return FindByDescription(Utf16FromUtf8(text), equal);
}
