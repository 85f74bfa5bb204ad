#include "chatbox/layout_switch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uintptr_t kPlayerLayout = 0x04090409;
constexpr std::uintptr_t kIme = 0xE0010804;

// A thread's layouts: the active one and every activation asked for.
class FakeLayouts final : public LayoutPlatform {
public:
    std::uintptr_t active = kPlayerLayout;
    std::vector<std::uintptr_t> activated;

    std::uintptr_t ActiveLayout() noexcept override { return active; }
    void Activate(std::uintptr_t layout) noexcept override {
        active = layout;
        activated.push_back(layout);
    }
};

TEST(LayoutSwitch, LaterFocusGainsKeepThePlayersLayoutForTheClosing) {
    FakeLayouts thread;
    LayoutSwitch layouts;
    layouts.BeginOpening();
    layouts.OnFocusGain(thread, kIme);
    EXPECT_EQ(thread.active, kIme);
    // The focus goes to the game window and comes back with the IME still on.
    layouts.OnFocusGain(thread, kIme);
    layouts.OnFocusGain(thread, kIme);
    layouts.Restore(thread, true);
    EXPECT_EQ(thread.active, kPlayerLayout);
    // OnCancel restores, then its focus change reaches the focus-loss handler.
    layouts.Restore(thread, true);
    EXPECT_EQ(thread.activated, (std::vector<std::uintptr_t>{kIme, kIme, kIme, kPlayerLayout}));
}

TEST(LayoutSwitch, AnOpeningThatSwitchedNothingRestoresNothing) {
    FakeLayouts thread;
    LayoutSwitch layouts;
    layouts.BeginOpening();
    layouts.OnFocusGain(thread, kIme);
    layouts.Restore(thread, true);
    // The player picks another layout between openings; the next opening finds no IME.
    thread.Activate(0x04070407);
    thread.activated.clear();
    layouts.BeginOpening();
    layouts.OnFocusGain(thread, 0);
    layouts.Restore(thread, true);
    EXPECT_TRUE(thread.activated.empty());
    EXPECT_EQ(thread.active, 0x04070407u);
}

}  // namespace
