// The IME inside the chat box: the composition drawn at the caret, the candidates
// drawn in the box from the IMM list and from a TSF element, Enter and Escape
// while composing, the room left, and COM as the thread allows it.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "app/app_settings_instance.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/paint_plan.h"
#include "framework/win_app_win32.h"
#include "hook/chat_box_win32.h"
#include "settings/app_settings.h"
#include "window_test_support.h"
#include "../../res/resource.h"

namespace {

using testsupport::GameWindow;
using testsupport::PumpPending;
using testsupport::PumpUntil;

// The pixels of a window as the screen shows them, row by row.
struct Snapshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB as the DIB holds them
    COLORREF At(int x, int y) const {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    int Count(COLORREF colour, const RECT& area) const {
        int n = 0;
        for (LONG y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height); ++y)
            for (LONG x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width); ++x)
                n += At(static_cast<int>(x), static_cast<int>(y)) == colour;
        return n;
    }
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot Take(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    Snapshot shot{static_cast<int>(rect.right - rect.left), static_cast<int>(rect.bottom - rect.top), {}};
    shot.pixels.resize(static_cast<std::size_t>(shot.width * shot.height));
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, shot.width, shot.height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(shot.height), shot.pixels.data(), &info, DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

// Repaints the window and its children now and waits until `ready` holds for
// what the screen shows.
Snapshot Painted(HWND window, const std::function<bool(const Snapshot&)>& ready) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Snapshot shot;
    PumpUntil([&] {
        shot = Take(window);
        return ready(shot);
    });
    return shot;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

CandidateView View(const std::vector<std::u16string>& entries, std::optional<std::size_t> selected,
                   std::size_t number, std::size_t count, std::size_t first = 0) {
    CandidateView view;
    view.page = CandidatePage{first, first + entries.size(), selected, number, count};
    for (const auto& entry : entries) view.Add(entry);
    return view;
}

Composition Comp(std::u16string_view text, std::vector<std::uint8_t> attributes = {},
                 std::vector<std::uint32_t> clauses = {}, std::size_t cursor = 0) {
    Composition c;
    c.SetText(text);
    c.SetAttributes(attributes);
    c.SetClauses(clauses);
    c.cursor = cursor;
    return c;
}

class ImeBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_game = std::make_unique<GameWindow>(); }
    static void TearDownTestSuite() { s_game.reset(); }

    void SetUp() override {
        if (AfxGetApp() == nullptr) {
            m_app = std::make_unique<CWinApp>();
            m_app->SetRegistryKey("ParlixTests");
            m_app->SetProfileName("ImeBox");
        }
        m_saved = GetAppSettings();
        CAppSettings& settings = GetAppSettings();
        settings.m_bRememberHistory = 0;
        settings.m_bAutoIme = 0;
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        // No mod folder exists there: a message that is sent shows the file error.
        settings.m_strExecutableFile = std::string(temp) + "parlix_no_game_" + std::to_string(::GetCurrentProcessId()) + "\\hl.exe";
        s_game->BringToForeground();
        ::SetFocus(Game());
        m_boxes = std::make_unique<testsupport::MessageBoxReader>();
        ASSERT_TRUE(OpenChatBox(Game(), 0));
        PumpPending();
    }

    void TearDown() override {
        if (theChatBox.m_hWnd != nullptr) theChatBox.DestroyWindow();
        PumpPending();
        m_boxes.reset();
        GetAppSettings() = m_saved;
    }

    static HWND Game() { return s_game->Handle(); }
    static HWND Box() { return theChatBox.m_hWnd; }
    static CImeEdit& Edit() { return theChatBox.m_editMessage; }
    static void Type(const std::wstring& text) {
        for (wchar_t c : text) ::SendMessageW(Edit().m_hWnd, WM_CHAR, c, 1);
    }
    static std::wstring Label() {
        for (HWND c = ::GetWindow(Box(), GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
            if (::GetDlgCtrlID(c) != IDC_MESSAGE_EDIT && ::GetDlgCtrlID(c) != IDC_PROMPT) {
                wchar_t text[64] = {};
                ::GetWindowTextW(c, text, 64);
                return text;
            }
        }
        return {};
    }
    // The edit's rectangle inside the box's snapshot.
    static RECT EditInBox() {
        RECT edit = ScreenRect(Edit().m_hWnd);
        const RECT box = ScreenRect(Box());
        ::OffsetRect(&edit, -box.left, -box.top);
        return edit;
    }

    std::unique_ptr<CWinApp> m_app;
    std::unique_ptr<testsupport::MessageBoxReader> m_boxes;
    CAppSettings m_saved;
    static std::unique_ptr<GameWindow> s_game;
};

std::unique_ptr<GameWindow> ImeBoxTest::s_game;

TEST_F(ImeBoxTest, CompositionShowsAtTheCaretInTheBoxColoursWithTheTargetClauseMarked) {
    Type(L"ab");
    // 你好 being converted (the target clause), then "ma" still typed letters.
    Edit().SetComposition(Comp(u"\u4F60\u597Dma", {1, 1, 0, 0}, {0, 2, 4}, 2));
    EXPECT_EQ(Edit().GetWindowTextW(), L"ab") << "the composition is drawn, never put into the text";

    HDC dc = ::GetDC(Edit().m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(Edit().m_hWnd, WM_GETFONT, 0, 0)));
    SIZE ab{}, target{}, all{};
    ::GetTextExtentPoint32W(dc, L"ab", 2, &ab);
    ::GetTextExtentPoint32W(dc, L"\x4F60\x597D", 2, &target);
    ::GetTextExtentPoint32W(dc, L"\x4F60\x597Dma", 4, &all);
    ::SelectObject(dc, old);
    ::ReleaseDC(Edit().m_hWnd, dc);
    RECT format{};
    ::SendMessageW(Edit().m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const RECT edit = EditInBox();
    const LONG start = edit.left + format.left + ab.cx;  // the insertion point, after "ab"
    const RECT targetArea{start, edit.top + format.top, start + target.cx, edit.top + format.top + target.cy};

    const Snapshot shot = Painted(Box(), [&](const Snapshot& s) { return s.Count(kEditTextColour, targetArea) > 0; });
    // The clause being converted is highlighted: mostly the edit's text colour as its background.
    EXPECT_GT(shot.Count(kEditTextColour, targetArea), (target.cx * target.cy) / 2);
    // The typed letters after it are underlined on the line's last row, dotted.
    const LONG underline = edit.top + format.top + all.cy - 1;
    const RECT letters{start + target.cx + 1, underline, start + all.cx - 1, underline + 1};
    const int dots = shot.Count(kEditTextColour, letters);
    EXPECT_GT(dots, 0);
    EXPECT_LT(dots, letters.right - letters.left) << "dotted, not solid";
    // The caret stands where the IME puts it: after the second unit.
    POINT caret{};
    ::GetCaretPos(&caret);
    EXPECT_EQ(caret.x, format.left + ab.cx + target.cx);

    // The composition goes: the edit shows its own text only, and its caret again.
    Edit().SetComposition({});
    Snapshot after = Painted(Box(), [&](const Snapshot& s) { return s.Count(kEditTextColour, targetArea) == 0; });
    EXPECT_EQ(after.Count(kEditTextColour, targetArea), 0);
}

TEST_F(ImeBoxTest, EnterAndEscapeWhileComposingNeitherSendNorClose) {
    Type(L"hi");
    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
        Edit().SetComposition(Comp(u"ni", {}, {}, 2));
        ::SendMessageW(Edit().m_hWnd, WM_KEYDOWN, key, 1);
        ASSERT_NE(Box(), nullptr) << "key " << key;
        EXPECT_FALSE(m_boxes->Seen().shown) << "nothing was sent";
        // No IME answered here: the box dropped the composition itself, so that
        // Enter is not held back for ever.
        EXPECT_TRUE(Edit().GetComposition().Empty());
    }
    EXPECT_EQ(Edit().GetWindowTextW(), L"hi");
    ::SendMessageW(Edit().m_hWnd, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(m_boxes->Seen().shown) << "without a composition Enter sends (and the missing folder says so)";
}

TEST_F(ImeBoxTest, RoomLeftCountsTheCompositionAndTheResultKeepsTheLimit) {
    // Two full parts and 69 bytes of the third and last.
    Type(std::wstring(269, L'a'));
    EXPECT_EQ(Label(), L"3/3");
    // 你 and two letters would replace the selected "aa": 67 + 3 + 2 = 72 bytes.
    Edit().SetSel(267, 269);
    Edit().SetComposition(Comp(u"\u4F60xy", {}, {}, 3));
    EXPECT_EQ(Label(), L"3/3 \x8FD8\x5269 28 \x5B57\x8282");
    Edit().SetComposition({});
    EXPECT_EQ(Label(), L"3/3");

    // A result larger than the room: what does not fit is taken out again.
    Edit().SetSel(269, 269);
    Type(std::wstring(27, L'b'));  // 96 bytes in the last part
    Edit().Commit(u"\u4F60\u597D");
    EXPECT_EQ(Edit().GetWindowTextW(), std::wstring(269, L'a') + std::wstring(27, L'b') + L"\x4F60");
    EXPECT_EQ(Label(), L"3/3 \x8FD8\x5269 1 \x5B57\x8282");
}

TEST_F(ImeBoxTest, CandidatesGrowTheBoxUpwardAndItsClosedPlaceAndSizeComeBack) {
    const RECT closed = ScreenRect(Box());
    const RECT editClosed = ScreenRect(Edit().m_hWnd);
    Edit().SetCandidates(View({u"\u4F60", u"\u5C3C", u"\u6CE5", u"\u62DF", u"\u9006"}, 1, 1, 3));
    const RECT open = ScreenRect(Box());
    EXPECT_LT(open.top, closed.top);
    EXPECT_EQ(open.bottom, closed.bottom);
    EXPECT_EQ(open.left, closed.left);
    EXPECT_EQ(open.right, closed.right);
    const RECT editOpen = ScreenRect(Edit().m_hWnd);
    EXPECT_TRUE(::EqualRect(&editOpen, &editClosed)) << "the edit stays where the player looks";
    EXPECT_EQ(::GetFocus(), Edit().m_hWnd);

    // Painted in the new area above the prompt: the selected entry highlighted,
    // the others in the edit's text colour on the box's background.
    const RECT area{1, 1, open.right - open.left - 1, closed.top - open.top};
    const Snapshot shot = Painted(Box(), [&](const Snapshot& s) { return s.Count(kEditTextColour, area) > 0; });
    EXPECT_GT(shot.Count(kEditTextColour, area), 40) << "the selected entry's highlight";
    EXPECT_GT(shot.Count(kBackColour, area), 0);
    EXPECT_GT(shot.Count(kStaticTextColour, area), 0) << "the page position 1/3";

    // The IME pages on: fewer entries, the box follows; then the list goes.
    Edit().SetCandidates(View({u"\u817B"}, std::nullopt, 2, 3, 5));
    EXPECT_LE(ScreenRect(Box()).top, closed.top);
    Edit().SetCandidates({});
    const RECT back = ScreenRect(Box());
    EXPECT_TRUE(::EqualRect(&back, &closed));
    const RECT editBack = ScreenRect(Edit().m_hWnd);
    EXPECT_TRUE(::EqualRect(&editBack, &editClosed));
}

TEST_F(ImeBoxTest, TheBoxNeverGrowsAboveTheGamesClientArea) {
    RECT client{};
    ::GetClientRect(Game(), &client);
    // Move the box up to 10 pixels below the top of the game's client area.
    RECT box = ScreenRect(Box());
    ::MapWindowPoints(nullptr, Game(), reinterpret_cast<POINT*>(&box), 2);
    ::SetWindowPos(Box(), nullptr, box.left, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    std::vector<std::u16string> many(10, u"\u4F60\u597D\u4F60\u597D\u4F60\u597D");
    Edit().SetCandidates(View(many, 0, 1, 1));
    RECT grown = ScreenRect(Box());
    ::MapWindowPoints(nullptr, Game(), reinterpret_cast<POINT*>(&grown), 2);
    EXPECT_EQ(grown.top, 0);
    EXPECT_EQ(grown.bottom, 10 + (box.bottom - box.top));
    Edit().SetCandidates({});
    RECT back = ScreenRect(Box());
    ::MapWindowPoints(nullptr, Game(), reinterpret_cast<POINT*>(&back), 2);
    EXPECT_EQ(back.top, 10);
    EXPECT_EQ(back.bottom - back.top, box.bottom - box.top);
}

// A TSF candidate list element as an IME in UI-less mode offers it.
class FakeCandidateElement final : public ITfCandidateListUIElement {
public:
    std::vector<std::wstring> strings;
    UINT selection = 0;
    std::vector<UINT> starts;
    UINT current = 0;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(ITfUIElement) || iid == kIidCandidateListUIElement) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGUID(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Show(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsShown(BOOL* shown) override {
        *shown = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUpdatedFlags(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDocumentMgr(ITfDocumentMgr**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
        *count = static_cast<UINT>(strings.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSelection(UINT* index) override {
        *index = selection;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetString(UINT index, BSTR* text) override {
        if (index >= strings.size()) return E_INVALIDARG;
        *text = ::SysAllocString(strings[index].c_str());
        ++allocated;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageIndex(UINT* out, UINT size, UINT* pageCount) override {
        *pageCount = static_cast<UINT>(starts.size());
        if (out == nullptr) return S_OK;
        for (UINT i = 0; i < size && i < starts.size(); ++i) out[i] = starts[i];
        *pageCount = std::min<UINT>(size, static_cast<UINT>(starts.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPageIndex(UINT*, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPage(UINT* page) override {
        *page = current;
        return S_OK;
    }
    int allocated = 0;
};

// Another kind of element (a reading string, say): not the box's to show.
class FakePlainElement final : public ITfUIElement {
public:
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(ITfUIElement)) return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGUID(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Show(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsShown(BOOL*) override { return E_NOTIMPL; }
};

// The thread's UI element manager with its source of element events.
class FakeElementManager final : public ITfUIElementMgr, public ITfSource {
public:
    std::map<DWORD, ITfUIElement*> elements;
    ITfUIElementSink* sink = nullptr;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(ITfUIElementMgr)) {
            *object = static_cast<ITfUIElementMgr*>(this);
        } else if (iid == __uuidof(ITfSource)) {
            *object = static_cast<ITfSource*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE BeginUIElement(ITfUIElement*, BOOL*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateUIElement(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndUIElement(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUIElement(DWORD id, ITfUIElement** element) override {
        const auto found = elements.find(id);
        *element = found == elements.end() ? nullptr : found->second;
        if (*element == nullptr) return E_INVALIDARG;
        (*element)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumUIElements(IEnumTfUIElements**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdviseSink(REFIID iid, IUnknown* object, DWORD* cookie) override {
        if (iid != __uuidof(ITfUIElementSink) || sink != nullptr) return E_FAIL;
        if (FAILED(object->QueryInterface(__uuidof(ITfUIElementSink), reinterpret_cast<void**>(&sink)))) return E_FAIL;
        *cookie = 42;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnadviseSink(DWORD cookie) override {
        if (cookie != 42 || sink == nullptr) return E_FAIL;
        sink->Release();
        sink = nullptr;
        return S_OK;
    }
};

TEST_F(ImeBoxTest, ATsfCandidateElementIsDrawnAsTheSameListFromTheImmIs) {
    const CandidateView expected = View({u"\u4F60", u"\u5C3C", u"\u6CE5"}, 4, 2, 2, 3);
    Edit().SetCandidates(expected);
    const RECT open = ScreenRect(Box());
    const Snapshot fromImm = Painted(Box(), [&](const Snapshot& s) { return s.Count(kEditTextColour, RECT{0, 0, s.width, 20}) > 0; });
    Edit().SetCandidates({});

    // Whatever the platform's TSF offered at the opening, the fake takes its place.
    theChatBox.m_tsf.Stop();
    FakeElementManager manager;
    FakeCandidateElement list;
    list.strings = {L"a", L"b", L"c", L"\x4F60", L"\x5C3C", L"\x6CE5"};
    list.selection = 4;
    list.starts = {0, 3};
    list.current = 1;
    FakePlainElement reading;
    manager.elements = {{7, &list}, {8, &reading}};
    ASSERT_TRUE(theChatBox.m_tsf.Listen(&manager));
    ASSERT_NE(manager.sink, nullptr);

    BOOL show = TRUE;
    ASSERT_EQ(manager.sink->BeginUIElement(8, &show), S_OK);
    EXPECT_TRUE(show) << "an element that is no candidate list stays the IME's";
    EXPECT_EQ(Edit().Candidates().count, 0u);

    ASSERT_EQ(manager.sink->BeginUIElement(7, &show), S_OK);
    EXPECT_FALSE(show) << "the box shows the list, the IME's window does not";
    EXPECT_TRUE(Edit().Candidates() == expected);
    const RECT viaTsf = ScreenRect(Box());
    EXPECT_TRUE(::EqualRect(&viaTsf, &open));
    const Snapshot fromTsf = Painted(Box(), [&](const Snapshot& s) { return s == fromImm; });
    EXPECT_TRUE(fromTsf == fromImm) << "the same candidates drawn the same way";

    // The IME moves its selection: the box follows.
    list.selection = 5;
    manager.sink->UpdateUIElement(7);
    EXPECT_EQ(Edit().Candidates().page.selected, std::optional<std::size_t>(5));
    manager.sink->EndUIElement(7);
    EXPECT_EQ(Edit().Candidates().count, 0u);
    const RECT closed = ScreenRect(Box());
    EXPECT_LT(open.top, closed.top);

    theChatBox.m_tsf.Stop();
    EXPECT_EQ(manager.sink, nullptr) << "the sink is taken off when the box closes";
    EXPECT_EQ(manager.refs, 1) << "every reference taken was given back";
    EXPECT_EQ(list.refs, 1);
    EXPECT_EQ(reading.refs, 1);
    EXPECT_EQ(list.allocated, 6) << "two readings of three strings each";
}

// CoInitializeEx's answer for a thread after the box's TSF part came and went
// there: S_OK when the thread had no COM any more, S_FALSE when it kept it.
HRESULT ComAfterStartAndStop(DWORD before) {
    HRESULT result = E_FAIL;
    std::thread worker([&] {
        const HRESULT had = before == ~0u ? E_FAIL : ::CoInitializeEx(nullptr, before);
        {
            CImeEdit target;
            TsfCandidates tsf(target);
            tsf.Start();
            tsf.Stop();
        }
        result = ::CoInitializeEx(nullptr, before == ~0u ? DWORD{COINIT_APARTMENTTHREADED} : before);
        if (SUCCEEDED(result)) ::CoUninitialize();
        if (SUCCEEDED(had)) ::CoUninitialize();
    });
    worker.join();
    return result;
}

TEST(TsfCandidatesCom, TheBoxUndoesOnlyTheComInitialisationItMade) {
    EXPECT_EQ(ComAfterStartAndStop(~0u), S_OK) << "a thread without COM is left without it";
    EXPECT_EQ(ComAfterStartAndStop(COINIT_APARTMENTTHREADED), S_FALSE) << "the thread's own COM stays";
    // The other model: the box cannot join it (RPC_E_CHANGED_MODE) and must not leave it.
    EXPECT_EQ(ComAfterStartAndStop(COINIT_MULTITHREADED), S_FALSE);
}

}  // namespace
