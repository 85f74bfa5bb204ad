#include "chatbox/ime/ime_profile_switch_win32.h"

#include <cstring>

#include "settings/text_services_win32.h"

namespace {

constexpr DWORD kAnyInputLanguage = 4;  // TF_IPPMF_DONTCARECURRENTINPUTLANGUAGE

// TSF refuses a profile of another language than the thread's current one: the
// language is switched first. Should that not take, the profile is still marked
// to come in with its language rather than refused.
void Activate(ITfInputProcessorProfileMgr& manager, const TF_INPUTPROCESSORPROFILE& profile) noexcept {
    ITfInputProcessorProfiles* languages = nullptr;
    if (SUCCEEDED(manager.QueryInterface(__uuidof(ITfInputProcessorProfiles), reinterpret_cast<void**>(&languages))) &&
        languages != nullptr) {
        languages->ChangeCurrentLanguage(profile.langid);
        languages->Release();
    }
    manager.ActivateProfile(profile.dwProfileType, profile.langid, profile.clsid, profile.guidProfile, profile.hkl,
                            kAnyInputLanguage);
}

}  // namespace

void ImeProfileSwitch::OnFocusGain(const TextServiceProfile& profile) noexcept {
    const InputProfiles profiles;
    ITfInputProcessorProfileMgr* manager = profiles.Manager();
    if (manager == nullptr) return;
    // Only the first switch of an opening sees the player's own profile; a profile
    // that cannot be read is not put back later either.
    if (!m_saved) m_saved = SUCCEEDED(manager->GetActiveProfile(kKeyboardCategory, &m_previous));
    TF_INPUTPROCESSORPROFILE chosen{};
    chosen.dwProfileType = TF_PROFILETYPE_INPUTPROCESSOR;
    chosen.langid = profile.language;
    std::memcpy(&chosen.clsid, profile.service.data(), sizeof chosen.clsid);
    std::memcpy(&chosen.guidProfile, profile.profile.data(), sizeof chosen.guidProfile);
    Activate(*manager, chosen);
}

void ImeProfileSwitch::Restore(bool autoIme) noexcept {
    if (!autoIme || !m_saved) return;
    m_saved = false;
    const InputProfiles profiles;
    // A plain layout comes back by its handle, a text service by its ids.
    if (ITfInputProcessorProfileMgr* manager = profiles.Manager()) Activate(*manager, m_previous);
}
