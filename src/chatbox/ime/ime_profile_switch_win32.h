// Which TSF keyboard profile the chat box puts back when it closes, for an input
// method chosen under "Auto IME" that is a text service: the box switches its
// thread to the service's profile at every focus gain of its edit, and gives back
// the profile the player had before the first of those switches in the opening.
#pragma once

#include <windows.h>
#include <msctf.h>

#include "settings/layout_catalog.h"

class ImeProfileSwitch {
public:
    // A new window: nothing an earlier opening switched from is put back by this one.
    void BeginOpening() noexcept { m_saved = false; }
    // The edit gained the focus and the chosen input method is this profile.
    void OnFocusGain(const TextServiceProfile& profile) noexcept;
    // The box closes: back to the profile from before the first switch, when
    // "Auto IME" is on. Later closings of the same opening find nothing to restore.
    void Restore(bool autoIme) noexcept;

private:
    TF_INPUTPROCESSORPROFILE m_previous{};
    bool m_saved = false;
};
