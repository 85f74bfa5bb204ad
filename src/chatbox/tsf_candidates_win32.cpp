#include "chatbox/tsf_candidates_win32.h"

#include <cwchar>
#include <vector>

#include "chatbox/ime_edit_win32.h"

namespace {

template <class Fn>
Fn Procedure(HMODULE module, const char* name) noexcept {
    // No module: GetProcAddress would search the program itself.
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace

void TsfCandidates::Start() noexcept {
    if (m_source) return;
    m_ole32.reset(::LoadLibraryW(L"ole32.dll"));
    const auto initialize = Procedure<HRESULT(WINAPI*)(void*, DWORD)>(m_ole32.get(), "CoInitializeEx");
    if (initialize != nullptr) {
        // S_OK and S_FALSE each take one CoUninitialize; a thread of the other
        // model (RPC_E_CHANGED_MODE) keeps its COM as it is, and TSF may still work.
        m_uninitializeCom = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    }
    m_msctf.reset(::LoadLibraryW(L"msctf.dll"));
    // The thread's own thread manager, only when the thread has one: the box does
    // not bring TSF into a thread that runs without it.
    const auto getThreadManager = Procedure<HRESULT(WINAPI*)(ITfThreadMgr**)>(m_msctf.get(), "TF_GetThreadMgr");
    ITfThreadMgr* threadManager = nullptr;
    if (getThreadManager != nullptr && SUCCEEDED(getThreadManager(&threadManager)) && threadManager != nullptr) {
        const UniqueCom<ITfThreadMgr> owner(threadManager);
        ITfUIElementMgr* manager = nullptr;
        if (SUCCEEDED(threadManager->QueryInterface(__uuidof(ITfUIElementMgr), reinterpret_cast<void**>(&manager))) &&
            manager != nullptr) {
            const UniqueCom<ITfUIElementMgr> managerOwner(manager);
            Listen(manager);
        }
    }
    if (!m_source) Stop();
}

bool TsfCandidates::Listen(ITfUIElementMgr* manager) noexcept {
    if (manager == nullptr || m_source) return false;
    // The element's strings are BSTRs, freed by their allocator.
    m_oleaut32.reset(::LoadLibraryW(L"oleaut32.dll"));
    m_freeString = Procedure<void(WINAPI*)(BSTR)>(m_oleaut32.get(), "SysFreeString");
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
    if (m_source && m_cookie != TF_INVALID_COOKIE) m_source.get()->UnadviseSink(m_cookie);
    m_cookie = TF_INVALID_COOKIE;
    m_source.reset();
    m_manager.reset();
    m_shown.reset();
    m_freeString = nullptr;
    m_oleaut32.reset();
    m_msctf.reset();
    if (m_uninitializeCom) {
        if (const auto uninitialize = Procedure<void(WINAPI*)()>(m_ole32.get(), "CoUninitialize")) uninitialize();
        m_uninitializeCom = false;
    }
    m_ole32.reset();
}

HRESULT TsfCandidates::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(ITfUIElementSink)) {
        *object = static_cast<ITfUIElementSink*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TsfCandidates::BeginUIElement(DWORD id, BOOL* show) {
    // The box shows this list; the IME's own window would not show over the game.
    if (ShowElement(id) && show != nullptr) *show = FALSE;
    return S_OK;
}

HRESULT TsfCandidates::UpdateUIElement(DWORD id) {
    if (m_shown == id) ShowElement(id);
    return S_OK;
}

HRESULT TsfCandidates::EndUIElement(DWORD id) {
    if (m_shown == id) {
        m_shown.reset();
        try {
            m_target.SetCandidates(std::nullopt);
        } catch (...) {
            // Nothing may unwind into TSF.
        }
    }
    return S_OK;
}

bool TsfCandidates::ShowElement(DWORD id) noexcept {
    if (!m_manager) return false;
    ITfUIElement* element = nullptr;
    if (FAILED(m_manager.get()->GetUIElement(id, &element)) || element == nullptr) return false;
    const UniqueCom<ITfUIElement> elementOwner(element);
    ITfCandidateListUIElement* list = nullptr;
    if (FAILED(element->QueryInterface(kIidCandidateListUIElement, reinterpret_cast<void**>(&list))) || list == nullptr) {
        return false;  // another kind of element: the IME shows it as it likes
    }
    const UniqueCom<ITfCandidateListUIElement> listOwner(list);
    try {
        UINT count = 0, selection = 0, current = 0, pages = 0;
        list->GetCount(&count);
        list->GetSelection(&selection);
        list->GetCurrentPage(&current);
        std::vector<std::uint32_t> starts;
        if (SUCCEEDED(list->GetPageIndex(nullptr, 0, &pages)) && pages > 0) {
            // A page holds one entry at least: more pages than entries are not believed.
            starts.resize(std::min<UINT>(pages, std::max<UINT>(count, 1)));
            UINT filled = 0;
            if (FAILED(list->GetPageIndex(starts.data(), static_cast<UINT>(starts.size()), &filled))) filled = 0;
            starts.resize(std::min<std::size_t>(filled, starts.size()));
        }
        CandidateView view;
        view.page = PageByStarts(count, selection, starts, current);
        for (std::size_t i = view.page.first; i < view.page.end; ++i) {
            std::u16string& entry = view.entries.emplace_back();
            BSTR text = nullptr;
            if (SUCCEEDED(list->GetString(static_cast<UINT>(i), &text)) && text != nullptr) {
                entry.assign(reinterpret_cast<const char16_t*>(text), std::wcslen(text));
                m_freeString(text);
            }
        }
        m_target.SetCandidates(std::move(view));
        m_shown = id;
        return true;
    } catch (...) {
        return false;  // out of memory: the IME keeps its own window
    }
}
