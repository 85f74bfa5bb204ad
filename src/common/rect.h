// A rectangle as the platform gives it: right and bottom exclusive; and a point.
#pragma once

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const noexcept { return right - left; }
    constexpr int Height() const noexcept { return bottom - top; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    int x;
    int y;
};
