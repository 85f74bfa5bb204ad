#include "settings/layout_catalog.h"

#include <algorithm>
#include <cstddef>
#include <exception>

namespace {

// One entry for a handle, or nothing when the layout has no description or the
// description cannot be had.
bool ReadEntry(LayoutSource& source, std::uintptr_t hkl, std::vector<LayoutEntry>& entries) {
    const int length = source.DescriptionLength(hkl);
    if (length <= 0) return false;  // not an IME
    // One byte more than the length, so that the terminator fits even when the
    // whole description is copied.
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = source.Description(hkl, buffer.data(), length);
    if (copied <= 0) return false;
    buffer.resize(static_cast<std::size_t>(std::min(copied, length)));
    // The description is used as a C string: a NUL inside it ends it, and an entry
    // that is empty that way would match an empty selection, so it is left out.
    buffer.resize(std::min(buffer.size(), buffer.find('\0')));
    if (buffer.empty()) return false;
    entries.push_back({hkl, std::move(buffer)});
    return true;
}

constexpr unsigned FoldAscii(unsigned char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned>(c - 'a' + 'A') : c;
}

// The next character of s from i: a double-byte character as one unit in upper
// case, any other byte with its ASCII letters folded. A lead byte at the very end
// has no trail byte and stands alone.
unsigned NextCharacter(std::string_view s, std::size_t& i, const MultibyteRules& rules) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (rules.isLeadByte != nullptr && rules.isLeadByte(c) && i + 1 < s.size()) {
        const unsigned doubleByte = (unsigned{c} << 8) | static_cast<unsigned char>(s[i + 1]);
        i += 2;
        return rules.upperDoubleByte != nullptr ? rules.upperDoubleByte(doubleByte) : doubleByte;
    }
    ++i;
    return FoldAscii(c);
}

bool EqualIgnoringCase(std::string_view a, std::string_view b, const MultibyteRules& rules) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (NextCharacter(a, i, rules) != NextCharacter(b, j, rules)) return false;
    }
    return i == a.size() && j == b.size();
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

std::uintptr_t CLayoutCatalog::FindByDescription(std::string_view text, const MultibyteRules& rules) const {
    text = text.substr(0, text.find('\0'));
    for (const LayoutEntry& entry : m_entries) {
        if (EqualIgnoringCase(entry.description, text, rules)) return entry.hkl;
    }
    return 0;
}
