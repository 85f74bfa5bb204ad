#include "chatbox/edit_rules.h"

KeyForward ClassifyKeyDown(unsigned virtualKey) noexcept {
    switch (virtualKey) {
    case kVirtualKeyTab: return KeyForward::nextControl;
    case kVirtualKeyReturn: return KeyForward::enter;
    case kVirtualKeyEscape: return KeyForward::escape;
    default: return KeyForward::defaultProcessing;
    }
}

bool KeepsCharacter(unsigned character) noexcept {
    return character != '\r' && character != 0x1B;
}

NavigationStep Navigate(unsigned virtualKey, std::int32_t index, std::int32_t size,
                        bool rememberHistory) noexcept {
    if (!rememberHistory) return {NavigationStep::notNavigation, index};
    // In 64 bits, so that neither step nor size - 1 can overflow.
    const std::int64_t current = index;
    if (virtualKey == kVirtualKeyUp) {
        if (current <= 0) return {NavigationStep::consumed, index};
        return {NavigationStep::show, index - 1};
    }
    if (virtualKey == kVirtualKeyDown) {
        if (current >= std::int64_t{size} - 1) return {NavigationStep::consumed, index};
        return {NavigationStep::show, index + 1};
    }
    return {NavigationStep::notNavigation, index};
}

std::optional<std::int32_t> IndexAfterChange(bool settingText, std::int32_t size) noexcept {
    if (settingText) return std::nullopt;
    return size;
}
