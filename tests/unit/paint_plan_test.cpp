#include "chatbox/paint_plan.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

SolidFill F(int l, int t, int r, int b, std::uint32_t colour, bool editBrush = false) {
    return {{l, t, r, b}, colour, editBrush};
}

}  // namespace

TEST(PaintPlan, ChatBoxOf300By48GivesTheTenFillsInOrder) {
    const std::array<SolidFill, 10> expected{
        F(0, 0, 299, 1, 0x809188),   F(0, 0, 1, 47, 0x809188),
        F(299, 0, 300, 48, 0x222E28), F(0, 47, 300, 48, 0x222E28),
        F(1, 1, 299, 47, 0x44584C),  F(4, 21, 296, 44, 0x37463E, true),
        F(4, 21, 295, 22, 0x222E28), F(4, 21, 5, 43, 0x222E28),
        F(295, 21, 296, 44, 0x809188), F(4, 43, 296, 44, 0x809188),
    };
    const auto plan = PaintPlan(300, 48, Rect{9, 26, 291, 39});
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(plan[i], expected[i]) << "fill " << i;
}

TEST(PaintPlan, FarCornersTakeTheBottomRightColour) {
    const auto frame = Draw3dRect(Rect{10, 20, 30, 40}, 1, 2);
    auto colourAt = [&](int x, int y) {
        std::uint32_t colour = 0;  // the last fill covering the pixel wins
        for (const SolidFill& f : frame)
            if (x >= f.rect.left && x < f.rect.right && y >= f.rect.top && y < f.rect.bottom)
                colour = f.colour;
        return colour;
    };
    EXPECT_EQ(colourAt(10, 20), 1u);
    EXPECT_EQ(colourAt(29, 20), 2u);
    EXPECT_EQ(colourAt(10, 39), 2u);
    EXPECT_EQ(colourAt(29, 39), 2u);
    EXPECT_EQ(colourAt(20, 30), 0u);
}

TEST(PaintPlan, FarOutRectanglesSaturateInsteadOfWrapping) {
    constexpr int low = std::numeric_limits<int>::min();
    constexpr int high = std::numeric_limits<int>::max();
    const auto plan = PaintPlan(low, high, Rect{low, low + 2, high - 3, high});
    EXPECT_EQ(plan[0].rect, (Rect{0, 0, low, 1}));
    EXPECT_EQ(plan[1].rect, (Rect{0, 0, 1, high - 1}));
    EXPECT_EQ(plan[5].rect, (Rect{low, low, high, high}));
    EXPECT_EQ(plan[6].rect, (Rect{low, low, high, low}));
    EXPECT_EQ(plan[9].rect, (Rect{low, high, high, high}));
    EXPECT_EQ(SaturateToInt(std::int64_t{high} + 1), high);
    EXPECT_EQ(SaturateToInt(std::int64_t{low} - 1), low);
}

TEST(ControlColours, EachControlKindDrawsInItsColours) {
    auto colours = [](ControlKind kind) {
        const ControlColours c = ColoursFor(kind);
        return std::tuple(c.background, c.text, c.editBrush);
    };
    EXPECT_EQ(colours(ControlKind::dialog), std::tuple(0x44584Cu, std::nullopt, false));
    EXPECT_EQ(colours(ControlKind::staticText), std::tuple(0x44584Cu, 0x95AAA0u, false));
    EXPECT_EQ(colours(ControlKind::edit), std::tuple(0x37463Eu, 0xD3DED8u, true));
}
