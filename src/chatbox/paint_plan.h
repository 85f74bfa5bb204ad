// How the chat box is painted: a raised outer frame, the background, and a sunken
// well around the message edit, as an ordered list of solid fills; and the
// colours each kind of control draws with. Colours are COLORREF values 0x00BBGGRR.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/rect.h"

inline constexpr std::uint32_t kBackColour = 0x44584C;
inline constexpr std::uint32_t kStaticTextColour = 0x95AAA0;
inline constexpr std::uint32_t kEditBackColour = 0x37463E;
inline constexpr std::uint32_t kEditTextColour = 0xD3DED8;
inline constexpr std::uint32_t kLightEdgeColour = 0x809188;
inline constexpr std::uint32_t kDarkEdgeColour = 0x222E28;

// The well reaches this far beyond the edit on every side.
inline constexpr int kWellMargin = 5;

struct SolidFill {
    Rect rect;  // right and bottom exclusive
    std::uint32_t colour;
    bool withEditBrush;  // painted with the edit brush (FillRect), not an opaque text fill
    friend constexpr bool operator==(const SolidFill&, const SolidFill&) = default;
};

// Rectangles are computed in 64 bits and every coordinate is then clamped to the
// int range, so no rectangle, however far out, overflows.
int SaturateToInt(std::int64_t value) noexcept;

// A 3-D frame on `r`: the top and left edges without their last pixel in
// `topLeft`, then the whole right and bottom edges in `bottomRight`, so the two
// far corners take `bottomRight`.
std::array<SolidFill, 4> Draw3dRect(const Rect& r, std::uint32_t topLeft,
                                    std::uint32_t bottomRight) noexcept;

// The ten fills, in order: the raised frame on (0, 0, W, H), the background
// inside it, the edit brush on the well (the edit grown by kWellMargin), the
// sunken frame on the well. `editInClient` is the edit's window rectangle in the
// dialog's client coordinates.
std::array<SolidFill, 10> PaintPlan(int clientWidth, int clientHeight,
                                    const Rect& editInClient) noexcept;

enum class ControlKind { dialog, staticText, edit };

struct ControlColours {
    std::uint32_t background;           // set as the context's background colour
    std::optional<std::uint32_t> text;  // the text colour, when one is set
    bool editBrush;                     // true: the edit brush, false: the back brush
};

ControlColours ColoursFor(ControlKind kind) noexcept;
