#include "chatbox/paint_plan.h"

#include <limits>

namespace {

// A rectangle whose edges are still 64-bit sums, clamped only when stored.
struct WideRect {
    std::int64_t left, top, right, bottom;
};

Rect Saturated(const WideRect& r) noexcept {
    return {SaturateToInt(r.left), SaturateToInt(r.top), SaturateToInt(r.right),
            SaturateToInt(r.bottom)};
}

SolidFill Fill(const WideRect& r, std::uint32_t colour, bool withEditBrush = false) noexcept {
    return {Saturated(r), colour, withEditBrush};
}

std::array<SolidFill, 4> Frame(const WideRect& r, std::uint32_t topLeft,
                               std::uint32_t bottomRight) noexcept {
    return {
        Fill({r.left, r.top, r.right - 1, r.top + 1}, topLeft),
        Fill({r.left, r.top, r.left + 1, r.bottom - 1}, topLeft),
        Fill({r.right - 1, r.top, r.right, r.bottom}, bottomRight),
        Fill({r.left, r.bottom - 1, r.right, r.bottom}, bottomRight),
    };
}

}  // namespace

int SaturateToInt(std::int64_t value) noexcept {
    constexpr std::int64_t low = std::numeric_limits<int>::min();
    constexpr std::int64_t high = std::numeric_limits<int>::max();
    return static_cast<int>(value < low ? low : value > high ? high : value);
}

std::array<SolidFill, 4> Draw3dRect(const Rect& r, std::uint32_t topLeft,
                                    std::uint32_t bottomRight) noexcept {
    return Frame({r.left, r.top, r.right, r.bottom}, topLeft, bottomRight);
}

std::array<SolidFill, 10> PaintPlan(int clientWidth, int clientHeight,
                                    const Rect& editInClient) noexcept {
    const WideRect client{0, 0, clientWidth, clientHeight};
    const WideRect well{std::int64_t{editInClient.left} - kWellMargin,
                        std::int64_t{editInClient.top} - kWellMargin,
                        std::int64_t{editInClient.right} + kWellMargin,
                        std::int64_t{editInClient.bottom} + kWellMargin};
    const auto raised = Frame(client, kLightEdgeColour, kDarkEdgeColour);
    const auto sunken = Frame(well, kDarkEdgeColour, kLightEdgeColour);
    return {
        raised[0], raised[1], raised[2], raised[3],
        Fill({client.left + 1, client.top + 1, client.right - 1, client.bottom - 1}, kBackColour),
        Fill(well, kEditBackColour, true),
        sunken[0], sunken[1], sunken[2], sunken[3],
    };
}

ControlColours ColoursFor(ControlKind kind) noexcept {
    switch (kind) {
    case ControlKind::staticText: return {kBackColour, kStaticTextColour, false};
    case ControlKind::edit: return {kEditBackColour, kEditTextColour, true};
    case ControlKind::dialog: break;
    }
    return {kBackColour, std::nullopt, false};
}
