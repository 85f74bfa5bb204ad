#include "hook/hook_decision.h"

#include <cstdint>

Point PlaceChatBox(const Rect& client, int boxWidth, int boxHeight) noexcept {
    // Computed 64 bits wide so that no rectangle the platform can hand us
    // overflows; the results fit an int for every real window.
    const std::int64_t clientWidth = std::int64_t{client.right} - client.left;
    const std::int64_t x = client.left + (clientWidth - boxWidth) / 2;  // truncates toward zero
    const std::int64_t y = std::int64_t{client.bottom} - boxHeight - 20;
    return {static_cast<int>(x), static_cast<int>(y)};
}
