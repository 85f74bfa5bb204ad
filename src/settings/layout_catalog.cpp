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
    // The description is used as a C string: a NUL inside it ends it, and an entry
    // that is empty that way would match an empty selection, so it is left out.
    const std::u16string_view text(buffer.data(), static_cast<std::size_t>(std::min(copied, length)));
    const std::size_t size = std::min(text.size(), text.find(u'\0'));
    if (size == 0) return false;
    // A copy of the right length rather than a resized buffer: resize would be the
    // only user of its code in the module.
    entries.push_back({hkl, std::u16string(text.data(), size)});
    return true;
}

// The layouts that have an IME description, in the order the source lists them.
void AddImes(LayoutSource& source, std::vector<LayoutEntry>& entries) {
    const int count = source.CountLayouts();
    if (count <= 0) return;
    std::vector<std::uintptr_t> handles;
    try {
        // Made at its size rather than resized: resize's code would be in the
        // module for this one use.
        handles = std::vector<std::uintptr_t>(static_cast<std::size_t>(count));
    } catch (const std::exception&) {
        return;  // no room for the handles: no IME is listed
    }
    const int listed = std::clamp(source.ListLayouts(handles.data(), count), 0, count);
    for (int i = 0; i < listed; ++i) {
        try {
            ReadEntry(source, handles[static_cast<std::size_t>(i)], entries);
        } catch (const std::exception&) {
            // Out of memory for this one description: only it is left out.
        }
    }
}

// The text services go after the IMEs, in the order the source hands them over.
class TextServiceAppender final : public TextServiceList {
public:
    explicit TextServiceAppender(std::vector<LayoutEntry>& entries) noexcept : m_entries(entries) {}
    void Add(std::u16string_view description, const TextServiceProfile& profile) noexcept override {
        // Used as a C string, as the IMEs' descriptions: a NUL inside ends it, and
        // one that is empty that way is left out.
        description = {description.data(), std::min(description.size(), description.find(u'\0'))};
        if (description.empty()) return;
        try {
            m_entries.push_back({0, std::u16string(description), true, profile});
        } catch (const std::exception&) {
            // Out of memory for this one service: only it is left out.
        }
    }

private:
    std::vector<LayoutEntry>& m_entries;
};

}  // namespace

CLayoutCatalog::CLayoutCatalog(LayoutSource& source) {
    AddImes(source, m_entries);
    // Also where no IME layout is listed: a text service needs no layout of its own.
    TextServiceAppender services(m_entries);
    source.AddTextServices(services);
}


const LayoutEntry* CLayoutCatalog::Find(std::u16string_view text, EqualIgnoringCase equal) const {
    text = text.substr(0, text.find(u'\0'));
    if (equal == nullptr) equal = &EqualIgnoringAsciiCase<char16_t, char16_t>;
    for (const LayoutEntry& entry : m_entries) {
        if (equal(entry.description, text)) return &entry;
    }
    if (text.empty()) return nullptr;
    for (const LayoutEntry& entry : m_entries) {
        const std::u16string_view cut(entry.description.data(), entry.description.size() - 1);
        if (equal(cut, text)) return &entry;
    }
    return nullptr;
}

const LayoutEntry* CLayoutCatalog::FindUtf8(std::string_view text, EqualIgnoringCase equal) const {
    return Find(Utf16FromUtf8(text), equal);
}
