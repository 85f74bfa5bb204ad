// The paint plan over any client size and edit rectangle: every fill is what the
// rule gives when computed in 64 bits and clamped to the int range.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "chatbox/paint_plan.h"
#include "fuzz_check.h"

namespace {

using I = std::int64_t;

int Clamp(I v) {
    return static_cast<int>(std::clamp<I>(v, std::numeric_limits<int>::min(),
                                          std::numeric_limits<int>::max()));
}

Rect R(I l, I t, I r, I b) { return {Clamp(l), Clamp(t), Clamp(r), Clamp(b)}; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int w = data.ConsumeIntegral<int>();
    const int h = data.ConsumeIntegral<int>();
    const Rect e{data.ConsumeIntegral<int>(), data.ConsumeIntegral<int>(),
                 data.ConsumeIntegral<int>(), data.ConsumeIntegral<int>()};

    const auto plan = PaintPlan(w, h, e);
    const I x0 = I{e.left} - 5, y0 = I{e.top} - 5, x1 = I{e.right} + 5, y1 = I{e.bottom} + 5;
    const SolidFill expected[10] = {
        {R(0, 0, I{w} - 1, 1), 0x809188, false},
        {R(0, 0, 1, I{h} - 1), 0x809188, false},
        {R(I{w} - 1, 0, w, h), 0x222E28, false},
        {R(0, I{h} - 1, w, h), 0x222E28, false},
        {R(1, 1, I{w} - 1, I{h} - 1), 0x44584C, false},
        {R(x0, y0, x1, y1), 0x37463E, true},
        {R(x0, y0, x1 - 1, y0 + 1), 0x222E28, false},
        {R(x0, y0, x0 + 1, y1 - 1), 0x222E28, false},
        {R(x1 - 1, y0, x1, y1), 0x809188, false},
        {R(x0, y1 - 1, x1, y1), 0x809188, false},
    };
    for (std::size_t i = 0; i < 10; ++i) FUZZ_CHECK(plan[i] == expected[i]);

    const auto frame = Draw3dRect(e, 1, 2);
    FUZZ_CHECK(frame[2].rect == R(I{e.right} - 1, e.top, e.right, e.bottom));
    FUZZ_CHECK(frame[0].colour == 1 && frame[3].colour == 2);
    return 0;
}
