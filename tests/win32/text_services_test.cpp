// "Auto IME" with TSF text services, over a stand-in for the system's input
// processor profiles object: Wine's lists no text service and switches none, so
// the listing, the switch at the box's focus gain and the restore at its close
// are shown here. The stand-in answers as TSF does: unknown profiles are refused,
// descriptions are BSTRs the caller frees, every reference is counted.
#include <windows.h>
#include <msctf.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "chatbox/dlg_say_win32.h"
#include "framework/win_app_win32.h"
#include "hook/chat_box_win32.h"
#include "settings/app_settings_instance.h"
#include "settings/layout_catalog.h"
#include "settings/layout_source_win32.h"
#include "settings/text_services_win32.h"
#include "window_test_support.h"

namespace {

using testsupport::GameWindow;
using testsupport::PumpPending;

constexpr DWORD kTypeService = TF_PROFILETYPE_INPUTPROCESSOR;
constexpr DWORD kTypeLayout = 2;  // TF_PROFILETYPE_KEYBOARDLAYOUT
constexpr DWORD kEnabled = 2;     // TF_IPP_FLAG_ENABLED
// A category of text services that type no keys (speech).
constexpr GUID kSpeechCategory{0x534C48C1, 0x0607, 0x4098, {0xA5, 0x21, 0x4F, 0xC8, 0x99, 0xC7, 0x3E, 0x90}};

GUID Id(unsigned char n) { return GUID{0x1000u + n, 0, 0, {n, n, n, n, n, n, n, n}}; }

struct Profile {
    TF_INPUTPROCESSORPROFILE info{};
    std::wstring description;
};

Profile Service(LANGID language, unsigned char n, const wchar_t* description, DWORD flags = kEnabled,
                const GUID& category = kKeyboardCategory) {
    Profile p;
    p.info.dwProfileType = kTypeService;
    p.info.langid = language;
    p.info.clsid = Id(n);
    p.info.guidProfile = Id(static_cast<unsigned char>(n + 100));
    p.info.catid = category;
    p.info.dwFlags = flags;
    p.description = description;
    return p;
}

Profile Layout(LANGID language, HKL hkl) {
    Profile p;
    p.info.dwProfileType = kTypeLayout;
    p.info.langid = language;
    p.info.catid = kKeyboardCategory;
    p.info.hkl = hkl;
    p.info.dwFlags = kEnabled;
    p.description = L"layout";
    return p;
}

class FakeProfileList final : public IEnumTfInputProcessorProfiles {
public:
    FakeProfileList(std::vector<Profile> profiles, LONG& liveObjects) : m_profiles(std::move(profiles)), m_live(liveObjects) {
        ++m_live;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IEnumTfInputProcessorProfiles)) return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --m_refs;
        if (left == 0) {
            --m_live;
            delete this;
        }
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumTfInputProcessorProfiles**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, TF_INPUTPROCESSORPROFILE* out, ULONG* fetched) override {
        ULONG n = 0;
        while (n < count && m_next < m_profiles.size()) out[n++] = m_profiles[m_next++].info;
        if (fetched != nullptr) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        m_next += count;
        return S_OK;
    }

private:
    std::vector<Profile> m_profiles;
    std::size_t m_next = 0;
    LONG m_refs = 1;
    LONG& m_live;
};

// The profiles object: the manager and, on the same object, the older interface
// that gives the descriptions.
class FakeProfiles final : public ITfInputProcessorProfileMgr, public ITfInputProcessorProfiles {
public:
    std::vector<Profile> profiles;
    TF_INPUTPROCESSORPROFILE active{};  // what GetActiveProfile answers
    bool activeReadable = true;
    std::vector<TF_INPUTPROCESSORPROFILE> activated;  // every profile ActivateProfile brought in, in order
    LANGID language = 0x0409;                          // the thread's input language
    LONG refs = 1;
    LONG liveLists = 0;

    const Profile* Match(DWORD type, LANGID language, REFCLSID clsid, REFGUID id, HKL hkl) const {
        for (const Profile& p : profiles) {
            if (p.info.dwProfileType != type || p.info.langid != language) continue;
            if (type == kTypeLayout ? p.info.hkl == hkl : (p.info.clsid == clsid && p.info.guidProfile == id)) return &p;
        }
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(ITfInputProcessorProfileMgr)) {
            *object = static_cast<ITfInputProcessorProfileMgr*>(this);
        } else if (iid == __uuidof(ITfInputProcessorProfiles)) {
            *object = static_cast<ITfInputProcessorProfiles*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }

    // The manager.
    // A profile of another language than the current one is refused, or with
    // TF_IPPMF_DONTCARECURRENTINPUTLANGUAGE only marked for when that language
    // comes, as TSF does.
    HRESULT STDMETHODCALLTYPE ActivateProfile(DWORD type, LANGID profileLanguage, REFCLSID clsid, REFGUID id, HKL hkl,
                                              DWORD flags) override {
        const Profile* p = Match(type, profileLanguage, clsid, id, hkl);
        if (p == nullptr) return E_INVALIDARG;
        if (profileLanguage != language) return (flags & 4) != 0 ? S_OK : E_FAIL;
        activated.push_back(p->info);
        active = p->info;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DeactivateProfile(DWORD, LANGID, REFCLSID, REFGUID, HKL, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetProfile(DWORD, LANGID, REFCLSID, REFGUID, HKL, TF_INPUTPROCESSORPROFILE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnumProfiles(LANGID language, IEnumTfInputProcessorProfiles** out) override {
        std::vector<Profile> listed;
        for (const Profile& p : profiles)
            if (language == 0 || p.info.langid == language) listed.push_back(p);
        *out = new FakeProfileList(std::move(listed), liveLists);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReleaseInputProcessor(REFCLSID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterProfile(REFCLSID, LANGID, REFGUID, const WCHAR*, ULONG, const WCHAR*, ULONG, ULONG,
                                              HKL, DWORD, WINBOOL, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnregisterProfile(REFCLSID, LANGID, REFGUID, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActiveProfile(REFGUID category, TF_INPUTPROCESSORPROFILE* out) override {
        if (category != kKeyboardCategory || !activeReadable) return E_FAIL;
        *out = active;
        return S_OK;
    }

    // The older interface: only the description is answered.
    HRESULT STDMETHODCALLTYPE GetLanguageProfileDescription(REFCLSID clsid, LANGID language, REFGUID id,
                                                            BSTR* out) override {
        const Profile* p = Match(kTypeService, language, clsid, id, nullptr);
        if (p == nullptr) return E_INVALIDARG;
        *out = ::SysAllocString(p->description.c_str());
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE Register(REFCLSID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unregister(REFCLSID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddLanguageProfile(REFCLSID, LANGID, REFGUID, const WCHAR*, ULONG, const WCHAR*, ULONG,
                                                 ULONG) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveLanguageProfile(REFCLSID, LANGID, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumInputProcessorInfo(IEnumGUID**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDefaultLanguageProfile(LANGID, REFGUID, CLSID*, GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultLanguageProfile(LANGID, REFCLSID, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ActivateLanguageProfile(REFCLSID, LANGID, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActiveLanguageProfile(REFCLSID, LANGID*, GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentLanguage(LANGID*) override { return E_NOTIMPL; }
    // A new language brings its first enabled profile in.
    HRESULT STDMETHODCALLTYPE ChangeCurrentLanguage(LANGID to) override {
        for (const Profile& p : profiles) {
            if (p.info.langid != to || (p.info.dwFlags & kEnabled) == 0) continue;
            language = to;
            active = p.info;
            return S_OK;
        }
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE GetLanguageList(LANGID**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumLanguageProfiles(LANGID, IEnumTfLanguageProfiles**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnableLanguageProfile(REFCLSID, LANGID, REFGUID, WINBOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsEnabledLanguageProfile(REFCLSID, LANGID, REFGUID, WINBOOL*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EnableLanguageProfileByDefault(REFCLSID, LANGID, REFGUID, WINBOOL) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SubstituteKeyboardLayout(REFCLSID, LANGID, REFGUID, HKL) override { return E_NOTIMPL; }
};

FakeProfiles* g_fake = nullptr;

HRESULT CreateFake(REFIID iid, void** object) noexcept {
    *object = nullptr;
    return g_fake != nullptr ? static_cast<ITfInputProcessorProfileMgr*>(g_fake)->QueryInterface(iid, object) : REGDB_E_CLASSNOTREG;
}

// What a player with Windows' own Chinese input methods and one speech service has.
const HKL kUs = reinterpret_cast<HKL>(static_cast<ULONG_PTR>(0x04090409));

class TextServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake.profiles = {Layout(0x0409, kUs),
                         Service(0x0804, 1, L"Microsoft Pinyin"),
                         Service(0x0804, 2, L"Speech", kEnabled, kSpeechCategory),
                         Service(0x0404, 3, L"Microsoft Bopomofo"),
                         Service(0x0404, 4, L"Quick (turned off)", 0),
                         Service(0x0404, 5, L"Cangjie")};
        fake.active = fake.profiles[0].info;
        g_fake = &fake;
        g_createInputProfiles = &CreateFake;
    }
    void TearDown() override {
        g_createInputProfiles = nullptr;
        g_fake = nullptr;
        EXPECT_EQ(fake.refs, 1) << "every reference to the profiles object is released";
        EXPECT_EQ(fake.liveLists, 0) << "every profile list is released";
    }

    static std::vector<std::u16string> ServiceNames(const CLayoutCatalog& catalog) {
        std::vector<std::u16string> names;
        for (const LayoutEntry& e : catalog.Entries())
            if (e.textService) names.push_back(e.description);
        return names;
    }

    FakeProfiles fake;
};

TEST_F(TextServicesTest, TheCatalogueListsTheEnabledKeyboardServicesByTheirOwnNames) {
    SystemLayoutSource source;
    const CLayoutCatalog catalog(source);
    // Plain layouts, speech and a service the player turned off stay out; the
    // order is the system's.
    EXPECT_EQ(ServiceNames(catalog), (std::vector<std::u16string>{u"Microsoft Pinyin", u"Microsoft Bopomofo", u"Cangjie"}));
    const LayoutEntry* bopomofo = catalog.Find(u"microsoft bopomofo");
    ASSERT_NE(bopomofo, nullptr);
    ASSERT_TRUE(bopomofo->textService);
    EXPECT_EQ(bopomofo->profile.language, 0x0404);
    GUID service, id;
    std::memcpy(&service, bopomofo->profile.service.data(), sizeof service);
    std::memcpy(&id, bopomofo->profile.profile.data(), sizeof id);
    EXPECT_EQ(service, Id(3));
    EXPECT_EQ(id, Id(103));
}

TEST_F(TextServicesTest, WithoutTheProfilesObjectOnlyTheImesAreListed) {
    g_fake = nullptr;  // the creation fails, as where TSF is missing
    SystemLayoutSource source;
    EXPECT_TRUE(ServiceNames(CLayoutCatalog(source)).empty());
}

// Activating a service remembers the player's profile once per opening; the
// close gives it back once, and only when "Auto IME" is on.
TEST_F(TextServicesTest, TheSwitchActivatesTheServiceAndGivesThePlayersProfileBack) {
    SystemLayoutSource source;
    const CLayoutCatalog catalog(source);
    const LayoutEntry* pinyin = catalog.Find(u"Microsoft Pinyin");
    const LayoutEntry* cangjie = catalog.Find(u"Cangjie");
    ASSERT_NE(pinyin, nullptr);
    ASSERT_NE(cangjie, nullptr);

    ImeProfileSwitch profileSwitch;
    profileSwitch.BeginOpening();
    profileSwitch.OnFocusGain(pinyin->profile);
    ASSERT_EQ(fake.activated.size(), 1u) << "Pinyin's language is switched to first";
    EXPECT_EQ(fake.activated[0].clsid, Id(1));
    EXPECT_EQ(fake.activated[0].langid, 0x0804);
    // A second focus gain of the same opening finds Pinyin active: still the US
    // layout is what comes back.
    profileSwitch.OnFocusGain(cangjie->profile);
    ASSERT_EQ(fake.activated.size(), 2u);
    profileSwitch.Restore(true);
    ASSERT_EQ(fake.activated.size(), 3u);
    EXPECT_EQ(fake.activated[2].dwProfileType, kTypeLayout);
    EXPECT_EQ(fake.activated[2].hkl, kUs);
    EXPECT_EQ(fake.language, 0x0409) << "the player's input language is back";
    profileSwitch.Restore(true);  // a later closing of the same opening
    EXPECT_EQ(fake.activated.size(), 3u);

    // "Auto IME" turned off meanwhile: the box leaves the input method as it is.
    profileSwitch.BeginOpening();
    profileSwitch.OnFocusGain(pinyin->profile);
    profileSwitch.Restore(false);
    EXPECT_EQ(fake.activated.size(), 4u);

    // A player's profile that cannot be read is not guessed at.
    fake.activeReadable = false;
    profileSwitch.BeginOpening();
    profileSwitch.OnFocusGain(cangjie->profile);
    profileSwitch.Restore(true);
    EXPECT_EQ(fake.activated.size(), 5u);
    EXPECT_EQ(fake.activated.back().clsid, Id(5));
}

// The whole path in the chat box: the saved name (also as earlier versions saved
// it, one character short) is found at the edit's focus gain, the service is
// activated, and Escape gives the player's layout back.
class TextServiceBoxTest : public TextServicesTest {
protected:
    static void SetUpTestSuite() { s_game = std::make_unique<GameWindow>(); }
    static void TearDownTestSuite() { s_game.reset(); }

    void SetUp() override {
        TextServicesTest::SetUp();
        if (AfxGetApp() == nullptr) {
            m_app = std::make_unique<CWinApp>();
            m_app->SetRegistryKey("ParlixTests");
            m_app->SetProfileName("TextServices");
        }
        m_saved = GetAppSettings();
        GetAppSettings().m_bRememberHistory = 0;
        GetAppSettings().m_bAutoIme = 1;
        s_game->BringToForeground();
        ::SetFocus(s_game->Handle());
    }
    void TearDown() override {
        if (theChatBox.m_hWnd != nullptr) theChatBox.DestroyWindow();
        PumpPending();
        GetAppSettings() = m_saved;
        TextServicesTest::TearDown();
    }
    void OpenAndEscape() {
        ASSERT_TRUE(OpenChatBox(s_game->Handle(), 0));
        PumpPending();
        ASSERT_EQ(::GetFocus(), theChatBox.m_editMessage.m_hWnd);
        m_activeWhileOpen = fake.active;
        ::SendMessageW(theChatBox.m_editMessage.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
        PumpPending();
        ASSERT_EQ(theChatBox.m_hWnd, nullptr);
    }

    static std::unique_ptr<GameWindow> s_game;
    std::unique_ptr<CWinApp> m_app;
    CAppSettings m_saved;
    TF_INPUTPROCESSORPROFILE m_activeWhileOpen{};
};
std::unique_ptr<GameWindow> TextServiceBoxTest::s_game;

TEST_F(TextServiceBoxTest, TheChosenServiceIsActiveWhileTheBoxIsOpen) {
    for (const char* saved : {"Microsoft Bopomofo", "microsoft bopomof"}) {
        SCOPED_TRACE(saved);
        fake.active = fake.profiles[0].info;
        fake.language = 0x0409;
        fake.activated.clear();
        GetAppSettings().m_strSelectedIme = saved;
        OpenAndEscape();
        EXPECT_EQ(m_activeWhileOpen.clsid, Id(3));
        EXPECT_EQ(fake.active.dwProfileType, kTypeLayout) << "the player's layout is back";
        EXPECT_EQ(fake.active.hkl, kUs);
    }
}

TEST_F(TextServiceBoxTest, NoServiceIsTouchedWithoutAutoImeOrAMatchingName) {
    GetAppSettings().m_strSelectedIme = "Microsoft Bopomofo";
    GetAppSettings().m_bAutoIme = 0;
    OpenAndEscape();
    GetAppSettings().m_bAutoIme = 1;
    GetAppSettings().m_strSelectedIme = "Quick (turned off)";  // listed, but not enabled
    OpenAndEscape();
    EXPECT_TRUE(fake.activated.empty());
}

}  // namespace
