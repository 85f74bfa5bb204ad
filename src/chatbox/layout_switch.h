// Which keyboard layout the chat box puts back when it closes. The box switches the
// thread to the selected IME at every focus gain of its edit; what it restores is
// the layout the player had before the first of those switches in the current
// opening, never the IME itself, which a later focus gain finds active.
#pragma once

#include <cstdint>

// The thread's keyboard layouts as the box sees them; layouts are handles as
// integers, 0 for none.
class LayoutPlatform {
public:
    virtual ~LayoutPlatform() = default;
    virtual std::uintptr_t ActiveLayout() noexcept = 0;
    virtual void Activate(std::uintptr_t layout) noexcept = 0;
};

class LayoutSwitch {
public:
    // A new window: nothing an earlier opening switched from is put back by this one.
    void BeginOpening() noexcept { m_hklPrevious = 0; }
    // The edit gained the focus; `ime` is the selected IME's layout, 0 when it is
    // not installed (nothing is switched then).
    void OnFocusGain(LayoutPlatform& platform, std::uintptr_t ime) noexcept;
    // The box closes (Enter, Escape, the focus leaving the game's thread, or the
    // module leaving): back to the layout from before the first switch, when
    // "Auto IME" is on. Later closings of the same opening find nothing to restore.
    void Restore(LayoutPlatform& platform, bool autoIme) noexcept;

private:
    std::uintptr_t m_hklPrevious = 0;
};
