#include "settings/text_services_win32.h"

#include <cstring>

namespace {

// CLSID_TF_InputProcessorProfiles, which mingw-w64 keeps in a library of its own.
constexpr GUID kProfilesClass{0x33C53A50, 0xF456, 0x4884, {0xB0, 0x49, 0x85, 0xFD, 0x64, 0x3E, 0xCF, 0xED}};
constexpr DWORD kProfileEnabled = 2;  // TF_IPP_FLAG_ENABLED
// More than any system lists; a list that never ends stops here.
constexpr int kMostProfiles = 256;

}  // namespace

CreateInputProfiles g_createInputProfiles = nullptr;

void* ProcedureAddress(HMODULE module, const char* name) noexcept {
    // No module: GetProcAddress would search the program itself.
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(module, name));
}

HMODULE LoadModule(const char* name) noexcept { return ::LoadLibraryA(name); }

void ThreadCom::Start() noexcept {
    m_ole32.reset(LoadModule("ole32"));
    const auto initialize = Procedure<HRESULT(WINAPI*)(void*, DWORD)>(m_ole32.get(), "CoInitializeEx");
    if (initialize != nullptr) m_uninitialize = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
}

void ThreadCom::Stop() noexcept {
    if (m_uninitialize) {
        if (const auto uninitialize = Procedure<void(WINAPI*)()>(m_ole32.get(), "CoUninitialize")) uninitialize();
        m_uninitialize = false;
    }
    m_ole32.reset();
}

FreeString LoadFreeString(UniqueModule& module) noexcept {
    module.reset(LoadModule("oleaut32"));
    return Procedure<FreeString>(module.get(), "SysFreeString");
}

InputProfiles::InputProfiles() noexcept {
    m_com.Start();
    ITfInputProcessorProfileMgr* manager = nullptr;
    REFIID iid = __uuidof(ITfInputProcessorProfileMgr);
    HRESULT result = E_NOTIMPL;
    if (g_createInputProfiles != nullptr) {
        result = g_createInputProfiles(iid, reinterpret_cast<void**>(&manager));
    } else {
        using Create = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
        if (const auto create = Procedure<Create>(m_com.Ole32(), "CoCreateInstance"))
            result = create(kProfilesClass, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&manager));
    }
    if (SUCCEEDED(result)) m_manager.reset(manager);
}

InputProfiles::~InputProfiles() {
    m_manager.reset();  // before COM goes
    m_com.Stop();
}

void AddTextServiceProfiles(ITfInputProcessorProfileMgr& manager, TextServiceList& list) noexcept {
    // The descriptions come from the older interface of the same object, as BSTRs
    // that their allocator frees.
    ITfInputProcessorProfiles* profilesRaw = nullptr;
    if (FAILED(manager.QueryInterface(__uuidof(ITfInputProcessorProfiles), reinterpret_cast<void**>(&profilesRaw))) ||
        profilesRaw == nullptr)
        return;
    const UniqueCom<ITfInputProcessorProfiles> profiles(profilesRaw);
    UniqueModule oleaut32;
    const FreeString freeString = LoadFreeString(oleaut32);
    IEnumTfInputProcessorProfiles* listRaw = nullptr;
    // Language 0: the profiles of every language the user has.
    if (freeString == nullptr || FAILED(manager.EnumProfiles(0, &listRaw)) || listRaw == nullptr) return;
    const UniqueCom<IEnumTfInputProcessorProfiles> profileList(listRaw);
    for (int i = 0; i < kMostProfiles; ++i) {
        TF_INPUTPROCESSORPROFILE profile{};
        ULONG fetched = 0;
        if (profileList.get()->Next(1, &profile, &fetched) != S_OK || fetched != 1) break;
        // Keyboard text services the user has turned on; plain layouts are the
        // IMM side's, and speech or handwriting services type no keys.
        if (profile.dwProfileType != TF_PROFILETYPE_INPUTPROCESSOR || profile.catid != kKeyboardCategory ||
            (profile.dwFlags & kProfileEnabled) == 0)
            continue;
        BSTR description = nullptr;
        if (FAILED(profiles.get()->GetLanguageProfileDescription(profile.clsid, profile.langid, profile.guidProfile,
                                                                 &description)) ||
            description == nullptr)
            continue;
        TextServiceProfile found;
        found.language = profile.langid;
        static_assert(sizeof(GUID) == 16);
        std::memcpy(found.service.data(), &profile.clsid, 16);
        std::memcpy(found.profile.data(), &profile.guidProfile, 16);
        list.Add(std::u16string_view(reinterpret_cast<const char16_t*>(description)), found);
        freeString(description);
    }
}
