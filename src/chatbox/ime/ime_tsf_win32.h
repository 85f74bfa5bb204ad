// The candidates of a TSF IME. A thread in UI-less mode (the game's SDL2 puts its
// thread in it) gets no candidate window from such an IME and no IMM candidate
// list either: the IME offers the list as a UI element. A sink on the thread's UI
// elements hands each candidate list to the edit and tells TSF the box shows it.
// Loaded only in the game's thread while a box is open: nothing here is a static
// import, and where the platform has no TSF nothing happens.
#pragma once

#include <windows.h>
#include <msctf.h>

#include <array>
#include <optional>

#include "chatbox/ime/ime_candidates.h"
#include "framework/unique_handle_win32.h"
#include "settings/text_services_win32.h"

// Not in mingw-w64's msctf.h: the candidate list element, as Windows declares it.
struct ITfCandidateListUIElement : public ITfUIElement {
    virtual HRESULT STDMETHODCALLTYPE GetUpdatedFlags(DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr** manager) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSelection(UINT* index) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetString(UINT index, BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPageIndex(UINT* starts, UINT size, UINT* pageCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPageIndex(UINT* starts, UINT pageCount) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPage(UINT* page) = 0;
};
inline constexpr GUID kIidCandidateListUIElement{
    0xEA1EA138, 0x19DF, 0x11D7, {0xA6, 0xD2, 0x00, 0x06, 0x5B, 0x84, 0x43, 0x5C}};

// The enumerator of open UI elements as Windows declares it: mingw-w64's msctf.h
// gives Next a ULONG where Windows passes a ULONG*.
struct UIElementEnum : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(UIElementEnum** copy) = 0;
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG count, ITfUIElement** elements, ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
    virtual HRESULT STDMETHODCALLTYPE Skip(ULONG count) = 0;
};

// The thread's keyboard status as TSF keeps it: open or closed, and the input
// mode (TF_CONVERSIONMODE_NATIVE is 1, as IME_CMODE_NATIVE).
// No client: TSF's TF_CLIENTID_NULL, which mingw-w64's msctf.h lacks.
inline constexpr TfClientId kNoClient = 0;
inline constexpr GUID kKeyboardOpenClose{0x58273AAD, 0x01BB, 0x4164, {0x95, 0xC6, 0x75, 0x5B, 0xA0, 0xB5, 0x16, 0x2D}};
inline constexpr GUID kKeyboardConversion{0xCCF05DD8, 0x4A87, 0x11D7, {0xA6, 0xE2, 0x00, 0x06, 0x5B, 0x84, 0x43, 0x5C}};


class CImeEdit;

class TsfCandidates final : public ITfUIElementSink {
public:
    explicit TsfCandidates(CImeEdit& target) noexcept : m_target(target) {}
    TsfCandidates(const TsfCandidates&) = delete;
    TsfCandidates& operator=(const TsfCandidates&) = delete;
    ~TsfCandidates();

    // The box opened: COM as the thread allows it, then the sink on the thread's
    // TSF, when the thread has TSF, and with `imeMode` the thread's keyboard
    // turned on in its native mode. What finds nothing to do unloads again.
    void Start(bool imeMode) noexcept;
    // Turns the keyboard on in its native mode through these compartments (the
    // thread's, or a test's), as `client`; Stop gives the player's values back.
    bool TurnImeOn(ITfCompartmentMgr* compartments, TfClientId client) noexcept;
    // Listens to this UI element manager: the thread's, or a test's.
    bool Listen(ITfUIElementMgr* manager) noexcept;
    // The box closes: the sink goes, then what Start loaded, COM last.
    void Stop() noexcept;
    // Whether the sink was told of the candidate list the box shows.
    bool ShowsSinkElement() const noexcept { return m_shown.has_value(); }
    // The IME's candidate list looked up among its UI elements, for when the sink
    // hears nothing; false when there is none.
    bool FindCandidateElement(CandidateView& view) noexcept;

    // The object belongs to the box and is never freed through its count.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }
    HRESULT STDMETHODCALLTYPE BeginUIElement(DWORD id, BOOL* show) noexcept override;
    HRESULT STDMETHODCALLTYPE UpdateUIElement(DWORD id) noexcept override;
    HRESULT STDMETHODCALLTYPE EndUIElement(DWORD id) noexcept override;

private:
    // Reads element `id` when it is a candidate list and gives it to the edit.
    bool ShowElement(DWORD id) noexcept;
    // The list's page as the box shows it; false when the list cannot be read.
    bool ReadList(ITfCandidateListUIElement& list, CandidateView& view) const noexcept;

    // A compartment the box changed and the value it had, given back at Stop.
    struct SavedStatus {
        UniqueCom<ITfCompartment> compartment;
        VARIANT value{};
    };

    CImeEdit& m_target;
    std::array<SavedStatus, 2> m_saved;
    TfClientId m_client = kNoClient;
    UniqueCom<ITfThreadMgr> m_activated;  // activated for a client id, deactivated at Stop
    ThreadCom m_com;
    UniqueModule m_msctf;
    UniqueModule m_oleaut32;
    UniqueCom<ITfUIElementMgr> m_manager;
    UniqueCom<ITfSource> m_source;
    DWORD m_cookie = TF_INVALID_COOKIE;
    std::optional<DWORD> m_shown;  // the element the box shows
    void(WINAPI* m_freeString)(BSTR) = nullptr;
};
