#include "chatbox/layout_switch.h"

void LayoutSwitch::OnFocusGain(LayoutPlatform& platform, std::uintptr_t ime) noexcept {
    if (ime == 0) return;
    // Only the first switch of an opening sees the player's own layout; at a later
    // focus gain the active layout is normally the IME this box switched to.
    if (m_hklPrevious == 0) m_hklPrevious = platform.ActiveLayout();
    platform.Activate(ime);
}

void LayoutSwitch::Restore(LayoutPlatform& platform, bool autoIme) noexcept {
    if (!autoIme || m_hklPrevious == 0) return;
    platform.Activate(m_hklPrevious);
    m_hklPrevious = 0;
}
