// The label's rules: nothing here throws or asks for memory, so the file is built
// without unwind tables (CMakeLists.txt).
#include <charconv>

#include "chatbox/message_parts.h"
#include "chatbox/text_limit.h"

std::optional<std::size_t> RoomToShow(std::size_t usedBytes, std::size_t limit) noexcept {
    const std::size_t room = usedBytes < limit ? limit - usedBytes : 0;
    if (room > kShowRoomFrom) return std::nullopt;
    return room;
}

PartsLabel PartsLabelFor(std::string_view text, std::u16string_view roomPattern) noexcept {
    PartsLabel label;
    const std::size_t parts = CountParts(text);
    if (parts < 2) return label;
    char16_t* out = label.units;
    char16_t* const last = label.units + PartsLabel::kCapacity - 1;  // the terminator's place
    *out++ = static_cast<char16_t>(u'0' + (parts > 9 ? 9 : parts));
    *out++ = u'/';
    *out++ = static_cast<char16_t>(u'0' + kMaxParts);
    const std::optional<std::size_t> room =
        parts < kMaxParts ? std::nullopt : RoomToShow(text.size() - LastPartStart(text));
    if (room) {
        *out++ = u' ';
        // Digits without printf: the module links no formatted-output machinery.
        char digits[24] = {};
        const char* const digitsEnd = std::to_chars(digits, digits + sizeof digits, *room).ptr;
        for (std::size_t i = 0; i < roomPattern.size() && out < last; ++i) {
            if (roomPattern[i] != u'%' || i + 1 >= roomPattern.size() || roomPattern[i + 1] != u'1') {
                *out++ = roomPattern[i];
                continue;
            }
            for (const char* digit = digits; digit != digitsEnd && out < last; ++digit) *out++ = static_cast<char16_t>(*digit);
            ++i;
        }
    }
    label.length = static_cast<std::size_t>(out - label.units);
    return label;
}
