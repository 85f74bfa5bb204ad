#include "chatbox/ime/ime_profile_switch_win32.h"

#include <cstring>

#include "settings/text_services_win32.h"

void ImeProfileSwitch::OnFocusGain(const TextServiceProfile& profile) noexcept {
    const InputProfiles profiles;
    ITfInputProcessorProfileMgr* manager = profiles.Manager();
    if (manager == nullptr) return;
    // Only the first switch of an opening sees the player's own profile; a profile
    // that cannot be read is not put back later either.
    if (!m_saved) m_saved = SUCCEEDED(manager->GetActiveProfile(kKeyboardCategory, &m_previous));
    GUID service, id;
    std::memcpy(&service, profile.service.data(), sizeof service);
    std::memcpy(&id, profile.profile.data(), sizeof id);
    manager->ActivateProfile(TF_PROFILETYPE_INPUTPROCESSOR, profile.language, service, id, nullptr, 0);
}

void ImeProfileSwitch::Restore(bool autoIme) noexcept {
    if (!autoIme || !m_saved) return;
    m_saved = false;
    const InputProfiles profiles;
    if (ITfInputProcessorProfileMgr* manager = profiles.Manager()) {
        // A plain layout comes back by its handle, a text service by its ids.
        manager->ActivateProfile(m_previous.dwProfileType, m_previous.langid, m_previous.clsid,
                                 m_previous.guidProfile, m_previous.hkl, 0);
    }
}
