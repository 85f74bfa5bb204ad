// The test IME: an IMM IME that the end-to-end tests and the demo install in
// their Wine prefixes, so that the chat box meets the real IME message flow
// (composition, candidate lists, results) rather than injected characters.
// The composition rules are the portable Engine; this file carries its state
// into the input context's composition string and candidate list and queues the
// messages a real IME sends: WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
// WM_IME_NOTIFY (IMN_OPENCANDIDATE, IMN_CHANGECANDIDATE, IMN_CLOSECANDIDATE) and
// WM_IME_ENDCOMPOSITION.
//
// The messages go into the context's message buffer, and ImeToAsciiEx returns
// more than the caller's list holds, so that imm32 sends them with
// ImmGenerateMessage: 64-bit Wine reads the list that ImeToAsciiEx fills at the
// wrong offset, the buffer is read right on both bitnesses.
//
// Its UI window shows a candidate window of its own (a top-level popup, as the
// system's IMEs do) unless the focus window cleared ISC_SHOWUICANDIDATEWINDOW in
// WM_IME_SETCONTEXT; the popup's window text is the page as it shows it, so a
// test can tell whether it was shown.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ime_structures_win32.h"
#include "test_ime_engine.h"

namespace {

using testime::Engine;
using testime::Event;
using testime::KeyKind;

constexpr wchar_t kUiClass[] = L"ParlixTestIme";  // at most 16 characters: imm32 keeps 17
constexpr wchar_t kCandidateClass[] = L"ParlixTestImeList";
constexpr wchar_t kCandidateWindowProperty[] = L"ParlixTestImeList";
constexpr int kShowFlagsSlot = sizeof(LONG_PTR);  // the IME's own slot beside the context's

constexpr size_t kMaxText = 64;  // UTF-16 units of a composition or result
constexpr size_t kMaxCandidates = 32;
constexpr size_t kMaxCandidateText = 8;

struct CompositionBlock {
    testime::CompositionString header;
    BYTE readAttr[kMaxText];
    DWORD readClause[2];
    WCHAR readStr[kMaxText + 1];
    BYTE attr[kMaxText];
    DWORD clause[2];
    WCHAR str[kMaxText + 1];
    DWORD resultReadClause[2];
    WCHAR resultReadStr[kMaxText + 1];
    DWORD resultClause[2];
    WCHAR resultStr[kMaxText + 1];
};

// CANDIDATELIST with room for the longest list; offsets count from its start.
struct CandidateList {
    DWORD size;
    DWORD style;
    DWORD count;
    DWORD selection;
    DWORD pageStart;
    DWORD pageSize;
    DWORD offset[kMaxCandidates];
    WCHAR text[kMaxCandidates][kMaxCandidateText];
};

struct CandidateBlock {
    testime::CandidateInfo info;
    CandidateList list;
};

HINSTANCE g_instance = nullptr;

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

// Copies at most `capacity` units and a terminator; gives the units copied.
DWORD CopyText(WCHAR* target, size_t capacity, const std::wstring& text) {
    const size_t count = std::min(text.size(), capacity);
    std::copy_n(text.data(), count, target);
    target[count] = L'\0';
    return static_cast<DWORD>(count);
}

// Locks a context for the life of the object.
class ContextLock {
public:
    explicit ContextLock(HIMC context) : m_context(context), m_data(context ? ::ImmLockIMC(context) : nullptr) {}
    ~ContextLock() {
        if (m_data) ::ImmUnlockIMC(m_context);
    }
    ContextLock(const ContextLock&) = delete;
    ContextLock& operator=(const ContextLock&) = delete;
    testime::InputContext* get() const { return m_data; }

private:
    HIMC m_context;
    testime::InputContext* m_data;
};

// Locks a context component, resized to `size` bytes first when asked.
template <class T>
class ComponentLock {
public:
    ComponentLock(HIMCC& component, DWORD size = 0) : m_component(component) {
        if (size != 0 && component && ::ImmGetIMCCSize(component) < size) {
            HIMCC larger = ::ImmReSizeIMCC(component, size);
            if (!larger) return;
            component = larger;
        }
        if (component && (size == 0 || ::ImmGetIMCCSize(component) >= size))
            m_data = static_cast<T*>(::ImmLockIMCC(component));
    }
    ~ComponentLock() {
        if (m_data) ::ImmUnlockIMCC(m_component);
    }
    ComponentLock(const ComponentLock&) = delete;
    ComponentLock& operator=(const ComponentLock&) = delete;
    T* get() const { return m_data; }

private:
    HIMCC& m_component;
    T* m_data = nullptr;
};

Engine* EngineOf(testime::InputContext& context) {
    ComponentLock<Engine*> slot(context.privateData);
    return slot.get() ? *slot.get() : nullptr;
}

testime::Key KeyFromVirtualKey(UINT key) {
    testime::Key result;
    if (key >= 'A' && key <= 'Z') {
        result.kind = KeyKind::Letter;
        result.letter = static_cast<char>('a' + (key - 'A'));
    } else if (key >= '1' && key <= '9') {
        result.kind = KeyKind::Digit;
        result.digit = static_cast<int>(key - '0');
    } else if (key >= VK_NUMPAD1 && key <= VK_NUMPAD9) {
        result.kind = KeyKind::Digit;
        result.digit = static_cast<int>(key - VK_NUMPAD0);
    } else {
        switch (key) {
        case VK_SPACE: result.kind = KeyKind::Space; break;
        case VK_RETURN: result.kind = KeyKind::Enter; break;
        case VK_ESCAPE: result.kind = KeyKind::Escape; break;
        case VK_BACK: result.kind = KeyKind::Backspace; break;
        case VK_NEXT:
        case VK_OEM_PLUS: result.kind = KeyKind::PageDown; break;
        case VK_PRIOR:
        case VK_OEM_MINUS: result.kind = KeyKind::PageUp; break;
        case VK_DOWN: result.kind = KeyKind::Down; break;
        case VK_UP: result.kind = KeyKind::Up; break;
        default: break;
        }
    }
    return result;
}

// The composition string as the engine has it: the letters as reading and as
// composition, one clause, the caret at the end; the last result beside them.
void WriteComposition(testime::InputContext& context, const Engine& engine) {
    ComponentLock<CompositionBlock> lock(context.compositionString, sizeof(CompositionBlock));
    CompositionBlock* block = lock.get();
    if (!block) return;
    *block = CompositionBlock{};
    testime::CompositionString& header = block->header;
    header.size = sizeof(CompositionBlock);
    const std::wstring letters = Wide(engine.Letters());
    const DWORD length = CopyText(block->str, kMaxText, letters);
    CopyText(block->readStr, kMaxText, letters);
    // While candidates are offered the whole reading is the clause being
    // converted; before that it is plain input.
    const BYTE attribute = engine.CandidatesOpen() ? ATTR_TARGET_NOTCONVERTED : ATTR_INPUT;
    std::fill_n(block->attr, length, attribute);
    std::fill_n(block->readAttr, length, attribute);
    const DWORD clauseBytes = length > 0 ? 2 * sizeof(DWORD) : 0;
    block->clause[1] = block->readClause[1] = length;
    header.strLen = header.readStrLen = length;
    header.attrLen = header.readAttrLen = length;
    header.clauseLen = header.readClauseLen = clauseBytes;
    header.cursorPos = length;
    header.deltaStart = length > 0 ? length - 1 : 0;
    header.strOffset = offsetof(CompositionBlock, str);
    header.readStrOffset = offsetof(CompositionBlock, readStr);
    header.attrOffset = offsetof(CompositionBlock, attr);
    header.readAttrOffset = offsetof(CompositionBlock, readAttr);
    header.clauseOffset = offsetof(CompositionBlock, clause);
    header.readClauseOffset = offsetof(CompositionBlock, readClause);

    const DWORD resultLength = CopyText(block->resultStr, kMaxText, Wide(engine.Result()));
    const DWORD readingLength = CopyText(block->resultReadStr, kMaxText, Wide(engine.ResultReading()));
    block->resultClause[1] = resultLength;
    block->resultReadClause[1] = readingLength;
    header.resultStrLen = resultLength;
    header.resultReadStrLen = readingLength;
    header.resultClauseLen = resultLength > 0 ? 2 * sizeof(DWORD) : 0;
    header.resultReadClauseLen = readingLength > 0 ? 2 * sizeof(DWORD) : 0;
    header.resultStrOffset = offsetof(CompositionBlock, resultStr);
    header.resultReadStrOffset = offsetof(CompositionBlock, resultReadStr);
    header.resultClauseOffset = offsetof(CompositionBlock, resultClause);
    header.resultReadClauseOffset = offsetof(CompositionBlock, resultReadClause);
}

// One candidate list while the engine offers candidates, none otherwise.
void WriteCandidates(testime::InputContext& context, const Engine& engine) {
    ComponentLock<CandidateBlock> lock(context.candidateInfo, sizeof(CandidateBlock));
    CandidateBlock* block = lock.get();
    if (!block) return;
    *block = CandidateBlock{};
    block->info.size = sizeof(CandidateBlock);
    if (!engine.CandidatesOpen()) return;
    block->info.count = 1;
    block->info.offset[0] = offsetof(CandidateBlock, list);
    CandidateList& list = block->list;
    list.size = sizeof(CandidateList);
    list.style = IME_CAND_READ;
    list.count = static_cast<DWORD>(std::min(engine.Candidates().size(), kMaxCandidates));
    list.selection = static_cast<DWORD>(engine.Selection());
    list.pageStart = static_cast<DWORD>(engine.PageStart());
    list.pageSize = static_cast<DWORD>(Engine::kPageSize);
    for (DWORD i = 0; i < list.count; ++i) {
        list.offset[i] = static_cast<DWORD>(offsetof(CandidateList, text) + i * sizeof(list.text[0]));
        CopyText(list.text[i], kMaxCandidateText - 1, Wide(engine.Candidates()[i]));
    }
}

constexpr LPARAM kCompositionFlags = GCS_COMPREADSTR | GCS_COMPREADATTR | GCS_COMPREADCLAUSE | GCS_COMPSTR |
                                     GCS_COMPATTR | GCS_COMPCLAUSE | GCS_CURSORPOS | GCS_DELTASTART;
constexpr LPARAM kResultFlags = GCS_RESULTREADSTR | GCS_RESULTREADCLAUSE | GCS_RESULTSTR | GCS_RESULTCLAUSE;

testime::TransMsg MessageFor(Event event, const Engine& engine) {
    switch (event) {
    case Event::StartComposition: return {WM_IME_STARTCOMPOSITION, 0, 0};
    case Event::Composition: {
        const std::wstring letters = Wide(engine.Letters());
        return {WM_IME_COMPOSITION, static_cast<WPARAM>(letters.empty() ? 0 : letters.back()), kCompositionFlags};
    }
    case Event::OpenCandidates: return {WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1};
    case Event::ChangeCandidates: return {WM_IME_NOTIFY, IMN_CHANGECANDIDATE, 1};
    case Event::CloseCandidates: return {WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 1};
    case Event::Result: {
        const std::wstring result = Wide(engine.Result());
        return {WM_IME_COMPOSITION, static_cast<WPARAM>(result.empty() ? 0 : result.front()), kResultFlags};
    }
    case Event::EndComposition: return {WM_IME_ENDCOMPOSITION, 0, 0};
    }
    return {WM_NULL, 0, 0};
}

// Writes the engine's state into the context and appends the events' messages to
// its message buffer; gives how many were queued.
size_t Publish(testime::InputContext& context, const Engine& engine, const std::vector<Event>& events) {
    if (events.empty()) return 0;
    WriteComposition(context, engine);
    WriteCandidates(context, engine);
    const DWORD before = context.messageCount;
    const DWORD size = static_cast<DWORD>((before + events.size()) * sizeof(testime::TransMsg));
    if (!context.messages) return 0;
    HIMCC larger = ::ImmReSizeIMCC(context.messages, size);
    if (!larger) return 0;
    context.messages = larger;
    ComponentLock<testime::TransMsg> lock(context.messages);
    if (!lock.get()) return 0;
    for (size_t i = 0; i < events.size(); ++i) lock.get()[before + i] = MessageFor(events[i], engine);
    context.messageCount = before + static_cast<DWORD>(events.size());
    return events.size();
}

// --- The IME's own candidate window -------------------------------------------

HWND CandidateWindowOf(HWND ui) { return static_cast<HWND>(::GetPropW(ui, kCandidateWindowProperty)); }

void HideCandidateWindow(HWND ui) {
    if (HWND list = CandidateWindowOf(ui)) ::ShowWindow(list, SW_HIDE);
}

// "1.你 2.尼 3.泥 4.拟 5.逆" for the current page.
std::wstring PageText(HIMC context) {
    const DWORD size = ::ImmGetCandidateListW(context, 0, nullptr, 0);
    if (size < sizeof(CANDIDATELIST)) return {};
    std::vector<BYTE> buffer(size);
    auto* list = reinterpret_cast<CANDIDATELIST*>(buffer.data());
    if (::ImmGetCandidateListW(context, 0, list, size) != size) return {};
    std::wstring text;
    for (DWORD i = list->dwPageStart; i < list->dwCount && i < list->dwPageStart + list->dwPageSize; ++i) {
        if (!text.empty()) text += L' ';
        text += std::to_wstring(i - list->dwPageStart + 1) + L'.';
        text += reinterpret_cast<const wchar_t*>(buffer.data() + list->dwOffset[i]);
    }
    return text;
}

void ShowCandidateWindow(HWND ui) {
    if (!(::GetWindowLongPtrW(ui, kShowFlagsSlot) & ISC_SHOWUICANDIDATEWINDOW)) {
        HideCandidateWindow(ui);
        return;
    }
    HWND focus = ::GetFocus();
    HIMC context = focus ? ::ImmGetContext(focus) : nullptr;
    if (!context) return;
    const std::wstring text = PageText(context);
    ::ImmReleaseContext(focus, context);
    HWND list = CandidateWindowOf(ui);
    if (!list) {
        list = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kCandidateClass, L"",
                                 WS_POPUP | WS_BORDER, 0, 0, 10, 10, ui, nullptr, g_instance, nullptr);
        if (!list) return;
        ::SetPropW(ui, kCandidateWindowProperty, list);
    }
    ::SetWindowTextW(list, text.c_str());
    // Below the focus window, where a player would look for it.
    RECT anchor{};
    ::GetWindowRect(focus, &anchor);
    ::SetWindowPos(list, HWND_TOPMOST, anchor.left, anchor.bottom, 320, 24, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(list, nullptr, TRUE);
}

LRESULT CALLBACK CandidateWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        wchar_t text[256] = {};
        const int length = ::GetWindowTextW(window, text, 256);
        ::TextOutW(dc, 2, 2, text, length);
        ::EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK UiWindowProc(HWND ui, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
        case WM_CREATE:
            ::SetWindowLongPtrW(ui, kShowFlagsSlot, static_cast<LONG_PTR>(ISC_SHOWUIALL));
            return 0;
        case WM_IME_SETCONTEXT:
            if (wParam) ::SetWindowLongPtrW(ui, kShowFlagsSlot, lParam);
            else HideCandidateWindow(ui);
            return 0;
        case WM_IME_NOTIFY:
            if (wParam == IMN_OPENCANDIDATE || wParam == IMN_CHANGECANDIDATE) ShowCandidateWindow(ui);
            else if (wParam == IMN_CLOSECANDIDATE) HideCandidateWindow(ui);
            return 0;
        case WM_DESTROY:
            if (HWND list = CandidateWindowOf(ui)) ::DestroyWindow(list);
            ::RemovePropW(ui, kCandidateWindowProperty);
            return 0;
        // The UI window answers every IME message itself: the default procedure
        // would hand them to the default IME window, which hands them back here.
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_COMPOSITION:
        case WM_IME_ENDCOMPOSITION:
        case WM_IME_CONTROL:
        case WM_IME_COMPOSITIONFULL:
        case WM_IME_SELECT:
        case WM_IME_CHAR:
        case WM_IME_REQUEST:
        case WM_IME_KEYDOWN:
        case WM_IME_KEYUP:
            return 0;
        }
    } catch (...) {
        return 0;
    }
    return ::DefWindowProcW(ui, message, wParam, lParam);
}

}  // namespace

// --- The IME interface that imm32 calls --------------------------------------------

extern "C" {

__declspec(dllexport) BOOL WINAPI ImeInquire(testime::ImeInfo* info, WCHAR* uiClass, DWORD) {
    if (!info || !uiClass) return FALSE;
    *info = testime::ImeInfo{};
    info->privateDataSize = sizeof(Engine*);
    info->property = IME_PROP_UNICODE | IME_PROP_AT_CARET;
    info->conversionCaps = IME_CMODE_NATIVE;
    info->selectCaps = SELECT_CAP_CONVERSION;
    ::lstrcpyW(uiClass, kUiClass);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI ImeConfigure(HKL, HWND, DWORD, void*) { return FALSE; }
__declspec(dllexport) DWORD WINAPI ImeConversionList(HIMC, const WCHAR*, CANDIDATELIST*, DWORD, UINT) { return 0; }
__declspec(dllexport) BOOL WINAPI ImeDestroy(UINT) { return TRUE; }
__declspec(dllexport) LRESULT WINAPI ImeEscape(HIMC, UINT, void*) { return 0; }
__declspec(dllexport) BOOL WINAPI ImeSetActiveContext(HIMC, BOOL) { return TRUE; }
__declspec(dllexport) BOOL WINAPI ImeRegisterWord(const WCHAR*, DWORD, const WCHAR*) { return FALSE; }
__declspec(dllexport) BOOL WINAPI ImeUnregisterWord(const WCHAR*, DWORD, const WCHAR*) { return FALSE; }
__declspec(dllexport) UINT WINAPI ImeGetRegisterWordStyle(UINT, STYLEBUFW*) { return 0; }
__declspec(dllexport) UINT WINAPI ImeEnumRegisterWord(REGISTERWORDENUMPROCW, const WCHAR*, DWORD, const WCHAR*,
                                                      void*) {
    return 0;
}
__declspec(dllexport) BOOL WINAPI ImeSetCompositionString(HIMC, DWORD, const void*, DWORD, const void*, DWORD) {
    return FALSE;
}

// Selecting the IME into a context gives it an engine of its own and the
// components in this IME's shapes; the context was made for whichever IME was
// active when it was created.
//
// The IME opens itself when selected, as a Chinese IME that starts in Chinese
// mode does: Wine creates the IME's UI window only when a context is opened.
// The focus window is then told that the context is active again, as Windows
// tells it at a change of layout, so that the UI window learns which of its
// windows the focus window wants shown.
__declspec(dllexport) BOOL WINAPI ImeSelect(HIMC context, BOOL select) {
    HWND target = nullptr;
    try {
        ContextLock lock(context);
        testime::InputContext* data = lock.get();
        if (!data) return FALSE;
        ComponentLock<Engine*> slot(data->privateData, sizeof(Engine*));
        if (!slot.get()) return FALSE;
        if (!select) {
            delete *slot.get();
            *slot.get() = nullptr;
            return TRUE;
        }
        // What a context brings to its selection is never an engine of ours (the
        // deselection took that away) but what the IME before left there: Wine's
        // own IME keeps its data in the same component of a context it had.
        *slot.get() = new Engine;
        data->open = FALSE;
        data->conversion = IME_CMODE_NATIVE;
        WriteComposition(*data, **slot.get());
        WriteCandidates(*data, **slot.get());
        target = ::IsWindow(data->window) ? data->window : ::GetFocus();
    } catch (...) {
        return FALSE;
    }
    ::ImmSetOpenStatus(context, TRUE);
    if (target) ::SendMessageW(target, WM_IME_SETCONTEXT, TRUE, ISC_SHOWUIALL);
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI ImeProcessKey(HIMC context, UINT key, LPARAM keyData, const BYTE* keyState) {
    if (keyData & 0x80000000) return FALSE;  // a release
    ContextLock lock(context);
    Engine* engine = lock.get() ? EngineOf(*lock.get()) : nullptr;
    if (!engine) return FALSE;
    // Closed, or out of its native mode, it types letters as they are: a player's
    // keys in play.
    if (!lock.get()->open || !(lock.get()->conversion & IME_CMODE_NATIVE)) return FALSE;
    const bool ctrlOrAlt = keyState && ((keyState[VK_CONTROL] & 0x80) || (keyState[VK_MENU] & 0x80));
    return engine->WantsKey(KeyFromVirtualKey(LOWORD(key)), ctrlOrAlt);
}

__declspec(dllexport) UINT WINAPI ImeToAsciiEx(UINT key, UINT, const BYTE*, testime::TransMsgList* list, UINT,
                                               HIMC context) {
    try {
        ContextLock lock(context);
        Engine* engine = lock.get() ? EngineOf(*lock.get()) : nullptr;
        if (!engine) return 0;
        const size_t queued = Publish(*lock.get(), *engine, engine->Press(KeyFromVirtualKey(LOWORD(key))));
        if (queued == 0) return 0;
        // More than the list holds: the messages are in the context's buffer.
        const size_t capacity = list ? list->count : 0;
        return static_cast<UINT>(std::max(queued, capacity) + 1);
    } catch (...) {
        return 0;
    }
}

// The application completes or cancels a composition (ImmNotifyIME).
__declspec(dllexport) BOOL WINAPI NotifyIME(HIMC context, DWORD action, DWORD index, DWORD) {
    try {
        if (action != NI_COMPOSITIONSTR || (index != CPS_COMPLETE && index != CPS_CANCEL)) return FALSE;
        size_t queued = 0;
        {
            ContextLock lock(context);
            Engine* engine = lock.get() ? EngineOf(*lock.get()) : nullptr;
            if (!engine) return FALSE;
            queued = Publish(*lock.get(), *engine, index == CPS_COMPLETE ? engine->Complete() : engine->Cancel());
        }
        if (queued > 0) ::ImmGenerateMessage(context);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        ::DisableThreadLibraryCalls(instance);
        WNDCLASSEXW ui = {};
        ui.cbSize = sizeof ui;
        ui.style = CS_IME | CS_GLOBALCLASS;
        ui.lpfnWndProc = UiWindowProc;
        ui.cbWndExtra = 2 * sizeof(LONG_PTR);
        ui.hInstance = instance;
        ui.lpszClassName = kUiClass;
        if (!::RegisterClassExW(&ui)) return FALSE;
        WNDCLASSEXW list = {};
        list.cbSize = sizeof list;
        list.style = CS_IME;
        list.lpfnWndProc = CandidateWindowProc;
        list.hInstance = instance;
        list.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        list.lpszClassName = kCandidateClass;
        ::RegisterClassExW(&list);
    } else if (reason == DLL_PROCESS_DETACH) {
        ::UnregisterClassW(kCandidateClass, instance);
        ::UnregisterClassW(kUiClass, instance);
    }
    return TRUE;
}
