// The IME inside the chat box: the composition drawn at the caret, the candidates
// drawn in the box from the IMM list and from a TSF element, Enter and Escape
// while composing, the room left, and COM as the thread allows it.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "chatbox/dlg_say_win32.h"
#include "chatbox/paint_plan.h"
#include "framework/win_app_win32.h"
#include "hook/chat_box_win32.h"
#include "settings/app_settings.h"
#include "settings/app_settings_instance.h"
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
    // As the edit reads them: each part straight into its place.
    c.length = std::min(text.size(), c.text.size());
    std::copy_n(text.begin(), c.length, c.text.begin());
    c.attributeCount = std::min(attributes.size(), c.attributes.size());
    std::copy_n(attributes.begin(), c.attributeCount, c.attributes.begin());
    c.clauseCount = std::min(clauses.size(), c.clauses.size());
    std::copy_n(clauses.begin(), c.clauseCount, c.clauses.begin());
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

// A game window so small that the box touches its top: the rows go below the
// box, as many as the room there holds, the selected entry's row and the page
// position among them; with no room outside the box at all, one row goes inside
// it, over the prompt line. The box never reaches outside the game's client area.
TEST_F(ImeBoxTest, WithoutRoomAboveTheRowsGoBelowOrInsideAndTheSelectionShows) {
    RECT gameWindow = ScreenRect(Game());
    RECT client{};
    ::GetClientRect(Game(), &client);
    const RECT closed = ScreenRect(Box());
    const int boxHeight = closed.bottom - closed.top;
    const std::vector<std::u16string> many(10, u"\u4F60\u597D\u4F60\u597D\u4F60\u597D");
    auto inGame = [&](HWND window) {
        RECT r = ScreenRect(window);
        ::MapWindowPoints(nullptr, Game(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto resizeGame = [&](int clientHeight) {
        ::SetWindowPos(Game(), nullptr, 0, 0, gameWindow.right - gameWindow.left,
                       (gameWindow.bottom - gameWindow.top) - client.bottom + clientHeight, SWP_NOMOVE | SWP_NOZORDER);
        const RECT box = inGame(Box());
        ::SetWindowPos(Box(), nullptr, box.left, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    };
    const int editTop = inGame(Edit().m_hWnd).top - inGame(Box()).top;

    // The box at the top of a game with room for a row or two below it.
    resizeGame(boxHeight + 40);
    Edit().SetCandidates(View(many, 7, 2, 3, 0));
    const RECT below = inGame(Box());
    EXPECT_EQ(below.top, 0) << "the box stays in its place";
    EXPECT_GT(below.bottom, boxHeight) << "no rows below the box";
    EXPECT_LE(below.bottom, boxHeight + 40) << "past the game's client area";
    EXPECT_EQ(inGame(Edit().m_hWnd).top - below.top, editTop) << "the edit moved";
    const RECT rows{1, boxHeight, below.right - below.left - 1, below.bottom - below.top - 1};
    const Snapshot shot = Painted(Box(), [&](const Snapshot& s) { return s.Count(kEditTextColour, rows) > 40; });
    EXPECT_GT(shot.Count(kEditTextColour, rows), 40) << "the selected entry, on a later row, is not shown";
    EXPECT_GT(shot.Count(kStaticTextColour, rows), 0) << "the page position 2/3 is not shown";

    // No room outside the box: the selected entry over the prompt line, which hides.
    resizeGame(boxHeight);
    Edit().SetCandidates({});
    Edit().SetCandidates(View(many, 7, 2, 3, 0));
    const RECT inside = inGame(Box());
    EXPECT_EQ(inside.top, 0);
    EXPECT_EQ(inside.bottom, boxHeight);
    const HWND prompt = ::GetDlgItem(Box(), IDC_PROMPT);
    EXPECT_FALSE(::IsWindowVisible(prompt));
    const RECT top{1, 1, inside.right - inside.left - 1, editTop - 1};
    const Snapshot overPrompt = Painted(Box(), [&](const Snapshot& s) { return s.Count(kEditTextColour, top) > 40; });
    EXPECT_GT(overPrompt.Count(kEditTextColour, top), 40) << "the selected entry is not shown";
    EXPECT_GT(overPrompt.Count(kStaticTextColour, top), 0) << "the page position is not shown";

    Edit().SetCandidates({});
    EXPECT_TRUE(::IsWindowVisible(prompt)) << "the prompt line did not come back";
    const RECT back = inGame(Box());
    EXPECT_EQ(back.bottom - back.top, boxHeight);
    ::SetWindowPos(Game(), nullptr, 0, 0, gameWindow.right - gameWindow.left, gameWindow.bottom - gameWindow.top,
                   SWP_NOMOVE | SWP_NOZORDER);
}

// A TSF candidate list element as an IME in UI-less mode offers it.
class FakeCandidateElement final : public ITfCandidateListUIElement {
public:
    std::vector<std::wstring> strings;
    UINT selection = 0;
    std::vector<UINT> starts;
    UINT current = 0;
    LONG refs = 1;
    // What an IME may leave out: its page index, its current page, its selection, its count.
    bool noPageIndex = false, noCurrentPage = false, noSelection = false, noCount = false;

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
        *count = noCount ? 0xFFFFFFFF : static_cast<UINT>(strings.size());
        return noCount ? E_FAIL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSelection(UINT* index) override {
        *index = noSelection ? 3 : selection;  // what a failed call leaves is no answer
        return noSelection ? E_NOTIMPL : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetString(UINT index, BSTR* text) override {
        if (index >= strings.size()) return E_INVALIDARG;
        *text = ::SysAllocString(strings[index].c_str());
        ++allocated;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPageIndex(UINT* out, UINT size, UINT* pageCount) override {
        if (noPageIndex) {
            *pageCount = 5;
            return E_NOTIMPL;
        }
        *pageCount = static_cast<UINT>(starts.size());
        if (out == nullptr) return S_OK;
        for (UINT i = 0; i < size && i < starts.size(); ++i) out[i] = starts[i];
        *pageCount = std::min<UINT>(size, static_cast<UINT>(starts.size()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetPageIndex(UINT*, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCurrentPage(UINT* page) override {
        *page = noCurrentPage ? 0 : current;
        return noCurrentPage ? E_NOTIMPL : S_OK;
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

// The IME's open UI elements, as EnumUIElements hands them out.
class FakeElementEnum final : public UIElementEnum {
public:
    explicit FakeElementEnum(std::vector<ITfUIElement*> elements) : m_elements(std::move(elements)) {}
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IEnumTfUIElements)) return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --refs;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE Clone(UIElementEnum**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, ITfUIElement** out, ULONG* fetched) override {
        ULONG n = 0;
        for (; n < count && m_next < m_elements.size(); ++n) {
            out[n] = m_elements[m_next++];
            out[n]->AddRef();
        }
        if (fetched != nullptr) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        m_next = std::min(m_elements.size(), m_next + std::size_t{count});
        return S_OK;
    }

private:
    std::vector<ITfUIElement*> m_elements;
    std::size_t m_next = 0;
};

// The thread's UI element manager with its source of element events.
class FakeElementManager final : public ITfUIElementMgr, public ITfSource {
public:
    std::map<DWORD, ITfUIElement*> elements;
    std::vector<ITfUIElement*> open;  // what EnumUIElements lists
    int enumerations = 0;
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
    HRESULT STDMETHODCALLTYPE EnumUIElements(IEnumTfUIElements** out) override {
        ++enumerations;
        *out = reinterpret_cast<IEnumTfUIElements*>(static_cast<UIElementEnum*>(new FakeElementEnum(open)));
        return S_OK;
    }
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
    Edit().m_tsf.Stop();
    FakeElementManager manager;
    FakeCandidateElement list;
    list.strings = {L"a", L"b", L"c", L"\x4F60", L"\x5C3C", L"\x6CE5"};
    list.selection = 4;
    list.starts = {0, 3};
    list.current = 1;
    FakePlainElement reading;
    manager.elements = {{7, &list}, {8, &reading}};
    ASSERT_TRUE(Edit().m_tsf.Listen(&manager));
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

    Edit().m_tsf.Stop();
    EXPECT_EQ(manager.sink, nullptr) << "the sink is taken off when the box closes";
    EXPECT_EQ(manager.refs, 1) << "every reference taken was given back";
    EXPECT_EQ(list.refs, 1);
    EXPECT_EQ(reading.refs, 1);
    EXPECT_EQ(list.allocated, 6) << "two readings of three strings each";
}

// An IME that gives no page index and no current page still has its selection
// shown on the page that holds it; one whose count cannot be read keeps its list.
TEST_F(ImeBoxTest, ATsfListWithoutPageIndexShowsThePageOfItsSelection) {
    Edit().m_tsf.Stop();
    FakeElementManager manager;
    FakeCandidateElement list;
    for (wchar_t c = L'a'; c < L'a' + 14; ++c) list.strings.push_back(std::wstring(1, c));
    list.selection = 12;
    list.noPageIndex = true;
    list.noCurrentPage = true;
    manager.elements = {{7, &list}};
    ASSERT_TRUE(Edit().m_tsf.Listen(&manager));

    BOOL show = TRUE;
    ASSERT_EQ(manager.sink->BeginUIElement(7, &show), S_OK);
    EXPECT_FALSE(show);
    EXPECT_TRUE(Edit().Candidates() == View({u"j", u"k", u"l", u"m", u"n"}, 12, 2, 2, 9))
        << "page " << Edit().Candidates().page.number << " from " << Edit().Candidates().page.first;

    list.noSelection = true;  // no selection to go by: the first page, nothing marked
    manager.sink->UpdateUIElement(7);
    EXPECT_TRUE(Edit().Candidates() ==
                View({u"a", u"b", u"c", u"d", u"e", u"f", u"g", u"h", u"i"}, std::nullopt, 1, 2));

    manager.sink->EndUIElement(7);
    list.noCount = true;
    show = TRUE;
    ASSERT_EQ(manager.sink->BeginUIElement(7, &show), S_OK);
    EXPECT_TRUE(show) << "a list the box cannot read stays the IME's to show";
    EXPECT_EQ(Edit().Candidates().count, 0u);
    Edit().m_tsf.Stop();
    EXPECT_EQ(list.refs, 1);
    EXPECT_EQ(manager.refs, 1);
}

// The platform may never call the box's sink (Wine's calls none; on Windows the
// game's sink is there first): on the IME's notifications the box looks for the
// candidate list among the IME's open elements, once the notification has been
// handled, and drops it when the IME no longer lists it.
TEST_F(ImeBoxTest, WithoutSinkCallsTheCandidateElementIsFoundAmongTheOpenElements) {
    Edit().m_tsf.Stop();
    FakeElementManager manager;
    FakeCandidateElement list;
    list.strings = {L"\x4F60", L"\x5C3C", L"\x6CE5"};
    list.selection = 1;
    list.starts = {0};
    FakePlainElement reading;
    manager.open = {&reading, &list};
    ASSERT_TRUE(Edit().m_tsf.Listen(&manager));
    const CandidateView expected = View({u"\u4F60", u"\u5C3C", u"\u6CE5"}, 1, 1, 1);

    ::SendMessageW(Edit().m_hWnd, WM_IME_NOTIFY, IMN_OPENCANDIDATE, 1);
    EXPECT_EQ(Edit().Candidates().count, 0u) << "read while the IME's notification was still being handled";
    EXPECT_EQ(manager.enumerations, 0);
    PumpPending();
    EXPECT_TRUE(Edit().Candidates() == expected);
    ::SendMessageW(Edit().m_hWnd, WM_IME_NOTIFY, IMN_CLOSECANDIDATE, 1);
    EXPECT_EQ(Edit().Candidates().count, 0u);

    // A composition change is the only word from an IME that announces nothing else.
    ::SendMessageW(Edit().m_hWnd, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    PumpPending();
    EXPECT_TRUE(Edit().Candidates() == expected);
    manager.open.clear();  // the IME ended its list without a word
    ::SendMessageW(Edit().m_hWnd, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
    PumpPending();
    EXPECT_EQ(Edit().Candidates().count, 0u);

    Edit().m_tsf.Stop();
    EXPECT_EQ(list.refs, 1);
    EXPECT_EQ(reading.refs, 1);
    EXPECT_EQ(manager.refs, 1);
}

// The edit's own input context: the game's text input stopping cancels
// compositions on the thread's shared context, which the box then no longer uses.
TEST_F(ImeBoxTest, TheEditComposesInAContextOfItsOwnWhileTheBoxIsOpen) {
    const HIMC own = Edit().OwnContext();
    ASSERT_NE(own, nullptr);
    const HIMC shared = ::ImmGetContext(Game());
    const HIMC edit = ::ImmGetContext(Edit().m_hWnd);
    EXPECT_EQ(edit, own);
    EXPECT_NE(edit, shared);
    if (edit != nullptr) ::ImmReleaseContext(Edit().m_hWnd, edit);
    if (shared != nullptr) ::ImmReleaseContext(Game(), shared);
}

// One of the thread's keyboard compartments: its value and who set it last.
class FakeCompartment final : public ITfCompartment {
public:
    VARIANT value{};
    TfClientId setter = kNoClient;
    int sets = 0;
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(ITfCompartment)) return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE SetValue(TfClientId client, const VARIANT* v) override {
        // TSF takes numbers and nothing for these; a client id of none is refused.
        if (client == kNoClient || (v->vt != VT_I4 && v->vt != VT_EMPTY)) return E_INVALIDARG;
        value = *v;
        setter = client;
        ++sets;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetValue(VARIANT* v) override {
        *v = value;
        return value.vt == VT_EMPTY ? S_FALSE : S_OK;
    }
};

class FakeCompartments final : public ITfCompartmentMgr {
public:
    FakeCompartment openClose, conversion;
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid != __uuidof(IUnknown) && iid != __uuidof(ITfCompartmentMgr)) return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--refs); }
    HRESULT STDMETHODCALLTYPE GetCompartment(REFGUID id, ITfCompartment** out) override {
        *out = id == kKeyboardOpenClose ? &openClose : id == kKeyboardConversion ? &conversion : nullptr;
        if (*out == nullptr) return E_INVALIDARG;
        (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearCompartment(TfClientId, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumCompartments(IEnumGUID**) override { return E_NOTIMPL; }
};

VARIANT Number(LONG value) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

// A TSF IME keeps one keyboard status for the whole thread: "IME mode in the
// chat box" turns it on in native mode while the box is open and gives the
// player's exact values back when it closes, a value never set included.
TEST(TsfImeMode, TheKeyboardTurnsOnInNativeModeAndThePlayersValuesComeBack) {
    CImeEdit target;
    TsfCandidates tsf(target);
    FakeCompartments compartments;
    compartments.openClose.value = Number(0);  // the player closed the IME for play
    compartments.conversion.value = Number(0x400);  // and left another mode bit set
    ASSERT_TRUE(tsf.TurnImeOn(&compartments, 77));
    EXPECT_EQ(compartments.openClose.value.vt, VT_I4);
    EXPECT_EQ(compartments.openClose.value.lVal, 1);
    EXPECT_EQ(compartments.conversion.value.lVal, 0x401) << "native mode added to the player's";
    EXPECT_EQ(compartments.openClose.setter, 77u);
    tsf.Stop();
    EXPECT_EQ(compartments.openClose.value.lVal, 0);
    EXPECT_EQ(compartments.conversion.value.lVal, 0x400);
    EXPECT_EQ(compartments.openClose.refs, 1);
    EXPECT_EQ(compartments.refs, 1);

    // Never set before: nothing is what comes back.
    FakeCompartments fresh;
    ASSERT_TRUE(tsf.TurnImeOn(&fresh, 78));
    EXPECT_EQ(fresh.openClose.value.lVal, 1);
    EXPECT_EQ(fresh.conversion.value.lVal, 1);
    tsf.Stop();
    EXPECT_EQ(fresh.openClose.value.vt, VT_EMPTY);
    EXPECT_EQ(fresh.conversion.value.vt, VT_EMPTY);
    EXPECT_EQ(fresh.openClose.sets, 2);

    // A value of another kind is no keyboard status the box could give back: untouched.
    FakeCompartments odd;
    odd.openClose.value.vt = VT_BOOL;
    odd.conversion.value = Number(0);
    EXPECT_TRUE(tsf.TurnImeOn(&odd, 79));
    EXPECT_EQ(odd.openClose.sets, 0);
    tsf.Stop();
    EXPECT_EQ(odd.conversion.value.lVal, 0);
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
            tsf.Start(true);
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
