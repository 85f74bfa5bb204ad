#include "chatbox/frame_overlay.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Import entries in plain memory; writes can be made to fail from a given one on.
class FakeWriter final : public SlotWriter {
public:
    bool Write(std::uintptr_t* slot, std::uintptr_t value) noexcept override {
        ++writes;
        if (failFrom != 0 && writes >= failFrom) return false;
        *slot = value;
        return true;
    }
    int writes = 0;
    int failFrom = 0;  // 0: every write succeeds
};

constexpr std::uintptr_t kSystem = 0x7000;
constexpr std::uintptr_t kOurs = 0x1000;
constexpr std::uintptr_t kOtherHook = 0x5000;

}  // namespace

TEST(ImportRedirects, EntriesGoBackExactlyAndOnlyOursAreTouched) {
    std::uintptr_t table[4] = {kSystem, kOtherHook, kSystem, 0x1234};
    FakeWriter writer;
    ImportRedirects redirects;
    EXPECT_TRUE(redirects.Redirect(writer, &table[0], kSystem, kOurs));
    // Another hook's entry, and an unrelated one, are not ours to take.
    EXPECT_FALSE(redirects.Redirect(writer, &table[1], kSystem, kOurs));
    EXPECT_FALSE(redirects.Redirect(writer, &table[3], kSystem, kOurs));
    EXPECT_TRUE(redirects.Redirect(writer, &table[2], kSystem, kOurs));
    // A second pass over the same entry finds it ours already: not listed twice.
    EXPECT_FALSE(redirects.Redirect(writer, &table[0], kSystem, kOurs));
    EXPECT_EQ(redirects.Count(), 2u);
    EXPECT_EQ(table[0], kOurs);
    EXPECT_EQ(table[2], kOurs);

    redirects.RestoreAll(writer);
    EXPECT_EQ(redirects.Count(), 0u);
    const std::uintptr_t expected[4] = {kSystem, kOtherHook, kSystem, 0x1234};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(table[i], expected[i]) << "entry " << i;
    // Restoring again writes nothing.
    const int writes = writer.writes;
    redirects.RestoreAll(writer);
    EXPECT_EQ(writer.writes, writes);
}

TEST(ImportRedirects, AnEntryReHookedAfterUsKeepsItsNewValueAndAFailedWriteIsNotListed) {
    std::uintptr_t table[2] = {kSystem, kSystem};
    FakeWriter writer;
    ImportRedirects redirects;
    ASSERT_TRUE(redirects.Redirect(writer, &table[0], kSystem, kOurs));
    table[0] = kOtherHook;  // someone chained onto our function
    writer.failFrom = 2;
    EXPECT_FALSE(redirects.Redirect(writer, &table[1], kSystem, kOurs));
    EXPECT_EQ(table[1], kSystem);
    EXPECT_EQ(redirects.Count(), 1u);
    writer.failFrom = 0;
    redirects.RestoreAll(writer);
    EXPECT_EQ(table[0], kOtherHook);
    EXPECT_EQ(table[1], kSystem);
}

TEST(ImportRedirects, AFullListTakesNoMoreEntries) {
    std::vector<std::uintptr_t> table(ImportRedirects::kCapacity + 1, kSystem);
    FakeWriter writer;
    ImportRedirects redirects;
    for (std::size_t i = 0; i < ImportRedirects::kCapacity; ++i) {
        EXPECT_TRUE(redirects.Redirect(writer, &table[i], kSystem, kOurs));
    }
    EXPECT_FALSE(redirects.Redirect(writer, &table.back(), kSystem, kOurs));
    EXPECT_EQ(table.back(), kSystem);
    redirects.RestoreAll(writer);
    for (std::uintptr_t entry : table) EXPECT_EQ(entry, kSystem);
}

TEST(FrameViewport, TheBoxPlaceCountedFromTheFrameBottom) {
    // A 300 x 48 box centred 20 pixels above the bottom of an 800 x 600 frame.
    EXPECT_EQ(FrameViewport(Rect{250, 532, 550, 580}, 600), (Viewport{250, 20, 300, 48}));
    // At the top of the frame, the viewport's bottom is the frame's height less the box's.
    EXPECT_EQ(FrameViewport(Rect{0, 0, 411, 60}, 1024), (Viewport{0, 964, 411, 60}));
    // Fullscreen: the same rule over the whole screen.
    EXPECT_EQ(FrameViewport(Rect{434, 944, 845, 1004}, 1024), (Viewport{434, 20, 411, 60}));
}

TEST(InvertArea, OnlyThePixelsInsideBothTheAreaAndThePictureChange) {
    const int width = 4;
    const int height = 3;
    std::vector<std::uint32_t> pixels(width * height, 0x0037463E);
    // Reaches past the right and bottom edges: clipped, nothing written outside.
    InvertArea(pixels, width, height, Rect{2, 1, 9, 9});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t expected = (x >= 2 && y >= 1) ? 0x00C8B9C1 : 0x0037463E;
            EXPECT_EQ(pixels[y * width + x], expected) << x << "," << y;
        }
    }
    // Twice is the original again (the caret's two halves).
    InvertArea(pixels, width, height, Rect{2, 1, 9, 9});
    for (std::uint32_t p : pixels) EXPECT_EQ(p, 0x0037463Eu);
    // The alpha byte is left alone; an area left of or above the picture is clipped.
    pixels[0] = 0xFF000000;
    InvertArea(pixels, width, height, Rect{-5, -5, 1, 1});
    EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[1], 0x0037463Eu);
    // A picture larger than the buffer is not touched at all.
    std::vector<std::uint32_t> small(2, 0);
    InvertArea(small, 4, 4, Rect{0, 0, 4, 4});
    EXPECT_EQ(small[0], 0u);
}

TEST(CaretBlink, ShownAndHiddenHalvesAndNeverBlinking) {
    EXPECT_TRUE(CaretShownAt(0, 530));
    EXPECT_TRUE(CaretShownAt(529, 530));
    EXPECT_FALSE(CaretShownAt(530, 530));
    EXPECT_FALSE(CaretShownAt(1059, 530));
    EXPECT_TRUE(CaretShownAt(1060, 530));
    EXPECT_TRUE(CaretShownAt(12345, 0));
    EXPECT_TRUE(CaretShownAt(12345, 0xFFFFFFFFu));
}
