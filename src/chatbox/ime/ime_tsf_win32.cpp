#include "chatbox/ime/ime_tsf_win32.h"

#include <array>
#include <cwchar>

#include "chatbox/ime/ime_edit_win32.h"

TsfCandidates::~TsfCandidates() = default;

void TsfCandidates::Start(bool imeMode) noexcept {
    if (m_source || m_activated) return;
    m_com.Start();
    m_msctf.reset(LoadModule("msctf"));
    // The thread's own thread manager, only when the thread has one: the box does
    // not bring TSF into a thread that runs without it.
    const auto getThreadManager = Procedure<HRESULT(WINAPI*)(ITfThreadMgr**)>(m_msctf.get(), "TF_GetThreadMgr");
    ITfThreadMgr* threadManager = nullptr;
    if (getThreadManager != nullptr && SUCCEEDED(getThreadManager(&threadManager)) && threadManager != nullptr) {
        const UniqueCom<ITfThreadMgr> owner(threadManager);
        ITfCompartmentMgr* compartments = nullptr;
        TfClientId client = kNoClient;
        // A client id of the box's own for the values it sets; the thread manager is
        // active already (the game's), so this only counts one more activation.
        if (imeMode && SUCCEEDED(threadManager->Activate(&client))) {
            threadManager->AddRef();
            m_activated.reset(threadManager);
            if (SUCCEEDED(threadManager->QueryInterface(__uuidof(ITfCompartmentMgr),
                                                        reinterpret_cast<void**>(&compartments))) &&
                compartments != nullptr) {
                const UniqueCom<ITfCompartmentMgr> compartmentsOwner(compartments);
                TurnImeOn(compartments, client);
            }
        }
        ITfUIElementMgr* manager = nullptr;
        if (SUCCEEDED(threadManager->QueryInterface(__uuidof(ITfUIElementMgr), reinterpret_cast<void**>(&manager))) &&
            manager != nullptr) {
            const UniqueCom<ITfUIElementMgr> managerOwner(manager);
            Listen(manager);
        }
    }
    if (!m_source && !m_activated) Stop();
}

bool TsfCandidates::TurnImeOn(ITfCompartmentMgr* compartments, TfClientId client) noexcept {
    m_client = client;
    bool changed = false;
    const GUID* const ids[] = {&kKeyboardConversion, &kKeyboardOpenClose};
    for (std::size_t i = 0; i < m_saved.size(); ++i) {
        ITfCompartment* compartment = nullptr;
        if (FAILED(compartments->GetCompartment(*ids[i], &compartment)) || compartment == nullptr) continue;
        SavedStatus& saved = m_saved[i];
        saved.compartment.reset(compartment);
        // Only a number or nothing is a keyboard status the box can give back whole;
        // a compartment holding anything else is left as it is.
        VARIANT value{};
        if (FAILED(compartment->GetValue(&value)) || (value.vt != VT_I4 && value.vt != VT_EMPTY)) {
            saved.compartment.reset();
            continue;
        }
        saved.value = value;
        VARIANT on{};
        on.vt = VT_I4;
        // Native mode added to what the player had; open is 1.
        on.lVal = i == 0 ? (value.vt == VT_I4 ? value.lVal : 0) | 1 : 1;
        if (FAILED(compartment->SetValue(client, &on))) {
            saved.compartment.reset();
            continue;
        }
        changed = true;
    }
    return changed;
}

bool TsfCandidates::Listen(ITfUIElementMgr* manager) noexcept {
    if (manager == nullptr || m_source) return false;
    // The element's strings are BSTRs, freed by their allocator.
    m_freeString = LoadFreeString(m_oleaut32);
    ITfSource* source = nullptr;
    if (m_freeString == nullptr ||
        FAILED(manager->QueryInterface(__uuidof(ITfSource), reinterpret_cast<void**>(&source))) || source == nullptr) {
        return false;
    }
    UniqueCom<ITfSource> sourceOwner(source);
    if (FAILED(source->AdviseSink(__uuidof(ITfUIElementSink), static_cast<ITfUIElementSink*>(this), &m_cookie))) {
        m_cookie = TF_INVALID_COOKIE;
        return false;
    }
    manager->AddRef();
    m_manager.reset(manager);
    m_source = std::move(sourceOwner);
    return true;
}

void TsfCandidates::Stop() noexcept {
    // The player's status first, the mode last: in the order the box took them.
    for (std::size_t i = m_saved.size(); i-- > 0;) {
        if (m_saved[i].compartment) m_saved[i].compartment.get()->SetValue(m_client, &m_saved[i].value);
        m_saved[i].compartment.reset();
    }
    if (m_activated) m_activated.get()->Deactivate();
    m_activated.reset();
    if (m_source && m_cookie != TF_INVALID_COOKIE) m_source.get()->UnadviseSink(m_cookie);
    m_cookie = TF_INVALID_COOKIE;
    m_source.reset();
    m_manager.reset();
    m_shown.reset();
    m_freeString = nullptr;
    m_oleaut32.reset();
    m_msctf.reset();
    m_com.Stop();
}

HRESULT TsfCandidates::QueryInterface(REFIID iid, void** object) noexcept {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(ITfUIElementSink)) {
        *object = static_cast<ITfUIElementSink*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TsfCandidates::BeginUIElement(DWORD id, BOOL* show) noexcept {
    // The box shows this list; the IME's own window would not show over the game.
    if (ShowElement(id) && show != nullptr) *show = FALSE;
    return S_OK;
}

HRESULT TsfCandidates::UpdateUIElement(DWORD id) noexcept {
    if (m_shown == id) ShowElement(id);
    return S_OK;
}

HRESULT TsfCandidates::EndUIElement(DWORD id) noexcept {
    if (m_shown == id) {
        m_shown.reset();
        m_target.SetCandidates({});
    }
    return S_OK;
}

namespace {

// The element as a candidate list; null for another kind of element.
ITfCandidateListUIElement* AsCandidateList(ITfUIElement& element) noexcept {
    ITfCandidateListUIElement* list = nullptr;
    if (FAILED(element.QueryInterface(kIidCandidateListUIElement, reinterpret_cast<void**>(&list)))) return nullptr;
    return list;
}

}  // namespace

bool TsfCandidates::ShowElement(DWORD id) noexcept {
    if (!m_manager) return false;
    ITfUIElement* element = nullptr;
    if (FAILED(m_manager.get()->GetUIElement(id, &element)) || element == nullptr) return false;
    const UniqueCom<ITfUIElement> elementOwner(element);
    const UniqueCom<ITfCandidateListUIElement> list(AsCandidateList(*element));
    CandidateView view;
    // Another kind of element, or one that cannot be read: the IME shows it as it likes.
    if (!list || !ReadList(*list.get(), view)) return false;
    m_target.SetCandidates(view);
    m_shown = id;
    return true;
}

bool TsfCandidates::FindCandidateElement(CandidateView& view) noexcept {
    UIElementEnum* elements = nullptr;
    if (!m_manager || FAILED(m_manager.get()->EnumUIElements(reinterpret_cast<IEnumTfUIElements**>(&elements))) ||
        elements == nullptr) {
        return false;
    }
    const UniqueCom<UIElementEnum> owner(elements);
    ITfUIElement* element = nullptr;
    ULONG fetched = 0;
    // A handful at most are open at once; the bound keeps a broken enumerator from holding the game.
    for (int i = 0; i < 64 && elements->Next(1, &element, &fetched) == S_OK && fetched == 1 && element != nullptr; ++i) {
        // Every element listed is open: one that ended is no longer listed. Whether
        // it is "shown" says nothing here, as a UI-less thread hides them all.
        const UniqueCom<ITfUIElement> elementOwner(element);
        element = nullptr;
        const UniqueCom<ITfCandidateListUIElement> list(AsCandidateList(*elementOwner.get()));
        if (list && ReadList(*list.get(), view)) return true;
    }
    return false;
}

bool TsfCandidates::ReadList(ITfCandidateListUIElement& list, CandidateView& view) const noexcept {
    UINT count = 0;
    if (FAILED(list.GetCount(&count)) || m_freeString == nullptr) return false;
    // Without a selection the first page shows, none of it highlighted.
    UINT selection = 0;
    const bool selected = SUCCEEDED(list.GetSelection(&selection)) && selection < count;
    // The page starts up to the one after the current page are all the box needs.
    std::array<UINT, 256> starts{};
    UINT pages = 0;
    if (FAILED(list.GetPageIndex(starts.data(), static_cast<UINT>(starts.size()), &pages))) pages = 0;
    const std::span<const std::uint32_t> given(starts.data(), std::min<std::size_t>(pages, starts.size()));
    UINT current = 0;
    const std::optional<std::size_t> page =
        SUCCEEDED(list.GetCurrentPage(&current)) && current < given.size() ? std::optional<std::size_t>(current)
                                                                          : std::nullopt;
    view = CandidateView{};
    view.page = PageOfSelection(count, selected ? std::optional<std::size_t>(selection) : std::nullopt, given, page);
    for (std::size_t i = view.page.first; i < view.page.end; ++i) {
        BSTR text = nullptr;
        if (FAILED(list.GetString(static_cast<UINT>(i), &text))) text = nullptr;
        view.Add(text != nullptr ? std::u16string_view(reinterpret_cast<const char16_t*>(text), std::wcslen(text))
                                 : std::u16string_view());
        if (text != nullptr) m_freeString(text);
    }
    return true;
}
