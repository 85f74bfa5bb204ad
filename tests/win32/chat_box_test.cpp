// The chat box over a real game window in this thread: opening, keys, history
// navigation, colours, painting, and how Enter and Escape end it.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "chatbox/dlg_say_win32.h"
#include "chatbox/history_key_win32.h"
#include "chatbox/key_forward_edit_win32.h"
#include "chatbox/part_sender_win32.h"
#include "framework/win_app_win32.h"
#include "hook/chat_box_win32.h"
#include "hook/game_folder_win32.h"
#include "settings/app_settings_instance.h"
#include "settings/registry_profile_store_win32.h"
#include "window_test_support.h"
#include "../../res/resource.h"

namespace {

using testsupport::GameWindow;
using testsupport::PumpPending;
using testsupport::PumpUntil;

constexpr DWORD kEnter = 0x1001;
constexpr DWORD kEscape = 0x1002;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ChatBoxTest : public ::testing::Test {
protected:
    // One game window for the suite: under Wine without a window manager every
    // top-level window that goes costs a wait for the X server.
    static void SetUpTestSuite() { s_game = std::make_unique<GameWindow>(); }
    static void TearDownTestSuite() { s_game.reset(); }

    void SetUp() override {
        if (AfxGetApp() == nullptr) {
            m_app = std::make_unique<CWinApp>();
            m_app->SetRegistryKey("ParlixTests");
            m_app->SetProfileName("ChatBox");
        }
        m_savedSettings = GetAppSettings();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_gameFolder = std::string(temp) + "parlix_game_" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(m_gameFolder.c_str(), nullptr);
        // The mod folder follows the test program's own arguments; ask for it as the
        // box will, through a child window of the game.
        HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, Game(), nullptr, nullptr, nullptr);
        m_modFolder = m_gameFolder + (DetectGameFolderForWindow(child) == GameFolder::czero ? "\\czero" : "\\cstrike");
        ::DestroyWindow(child);
        m_cfgPath = m_modFolder + "\\parlix.cfg";

        CAppSettings& settings = GetAppSettings();
        settings.m_bRememberHistory = 1;
        settings.m_nMaxHistoryItems = 10;
        settings.m_bAutoIme = 0;
        settings.m_strExecutableFile = m_gameFolder + "\\hl.exe";
        settings.m_strKeys[3] = "F12";

        DeleteHistoryKey();
        thePartSender.Reset();
        History().m_history.clear();
        History().m_historyIndex = -1;
        s_game->BringToForeground();
        ::SetFocus(Game());
        m_boxes = std::make_unique<testsupport::MessageBoxReader>();
    }

    void TearDown() override {
        if (theChatBox.m_hWnd != nullptr) theChatBox.DestroyWindow();
        PumpPending();
        thePartSender.Reset();
        m_boxes.reset();
        GetAppSettings() = m_savedSettings;
        ::DeleteFileA(m_cfgPath.c_str());
        ::RemoveDirectoryA(m_modFolder.c_str());
        ::RemoveDirectoryA(m_gameFolder.c_str());
        DeleteHistoryKey();
    }

    static CHistoryEdit& History() { return theChatBox.m_editMessage; }
    static HWND Edit() { return theChatBox.m_editMessage.m_hWnd; }
    static HWND Game() { return s_game->Handle(); }

    void Open(int mode) {
        ASSERT_TRUE(OpenChatBox(Game(), mode));
        ASSERT_EQ(ChatBoxWindow(), theChatBox.m_hWnd);
        PumpPending();
    }
    static void KeyDown(unsigned key) { ::SendMessageW(Edit(), WM_KEYDOWN, key, 1); }
    static void Type(const std::string& text) {
        for (char c : text) ::SendMessageW(Edit(), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    static std::string EditText() { return theChatBox.m_editMessage.GetWindowText(); }
    static std::pair<int, int> Selection() { return theChatBox.m_editMessage.GetSel(); }
    void MakeModFolder() const { ::CreateDirectoryA(m_modFolder.c_str(), nullptr); }
    static std::uint32_t StoredCount() {
        RegistryProfileStore store = RegistryProfileStore::ForApp();
        return ProfileGetInt(store, "History", "Count", 0xDEAD);
    }

    // Every test reads and closes whatever message box opens, so that none can
    // block the test; only the file-error test expects one.
    const testsupport::SeenBox& Box() const { return m_boxes->Seen(); }

    std::unique_ptr<CWinApp> m_app;
    std::unique_ptr<testsupport::MessageBoxReader> m_boxes;
    CAppSettings m_savedSettings;
    std::string m_gameFolder;
    std::string m_modFolder;
    std::string m_cfgPath;
    static std::unique_ptr<GameWindow> s_game;
};

std::unique_ptr<GameWindow> ChatBoxTest::s_game;

TEST_F(ChatBoxTest, OpensShownCentredAboveTheGameBottomWithThePromptOfItsMode) {
    Open(2);
    HWND box = theChatBox.m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(box));
    EXPECT_EQ(::GetParent(box), Game());
    EXPECT_EQ(::GetFocus(), Edit());
    RECT client{}, placed{};
    ::GetClientRect(Game(), &client);
    ::GetWindowRect(box, &placed);
    ::MapWindowPoints(nullptr, Game(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, (client.right - (placed.right - placed.left)) / 2);
    EXPECT_EQ(placed.bottom, client.bottom - 20);
    char prompt[64] = {};
    ::GetDlgItemTextA(box, IDC_PROMPT, prompt, sizeof prompt);
    EXPECT_STREQ(prompt, "Rcon say (OP):");

    // A second opening replaces a hidden leftover window with the new mode's prompt.
    ::ShowWindow(box, SW_HIDE);
    Open(0);
    EXPECT_FALSE(::IsWindow(box));
    // Set through the wide API: it shows in any ANSI code page.
    wchar_t wide[64] = {};
    ::GetDlgItemTextW(theChatBox.m_hWnd, IDC_PROMPT, wide, 64);
    EXPECT_STREQ(wide, L"\x5BF9\x6240\x6709\x4EBA\x8BF4:");
}

TEST_F(ChatBoxTest, EditIsOneTextLineHighAtItsTemplatePlace) {
    Open(0);
    HWND box = theChatBox.m_hWnd;
    auto font = reinterpret_cast<HFONT>(::SendMessageW(box, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    HDC dc = ::GetDC(box);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(box, dc);

    RECT edit{};
    ::GetWindowRect(Edit(), &edit);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&edit), 2);
    RECT expected{6, 16, 6 + 223, 16 + 12};  // the template's place, in dialog units
    ::MapDialogRect(box, &expected);
    EXPECT_EQ(edit.bottom - edit.top, metrics.tmHeight);
    EXPECT_EQ(edit.left, expected.left);
    EXPECT_EQ(edit.top, expected.top);
    EXPECT_EQ(edit.right - edit.left, expected.right - expected.left);
}

// A dialog of the same template that records what its key-forwarding edit sends.
class RecordingDialog : public CDialog {
public:
    RecordingDialog() : CDialog(IDD_SAY) {}
    CKeyForwardEdit m_edit;
    std::vector<std::pair<UINT, WPARAM>> m_seen;
    LPARAM m_lastSender = 0;

protected:
    void DoDataExchange(CDataExchange& dx) override { DDX_Control(dx, IDC_MESSAGE_EDIT, m_edit); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NEXTDLGCTL || (message == WM_COMMAND && HIWORD(wParam) >= kEnter)) {
            m_seen.emplace_back(message, wParam);
            m_lastSender = lParam;
        }
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST_F(ChatBoxTest, TabEnterAndEscapeReachTheDialogAndTheirCharactersAreNotInserted) {
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.Create(Game()));
    HWND edit = dialog.m_edit.m_hWnd;
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(::SendMessageW(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
    ::SetFocus(edit);

    for (unsigned key : {VK_TAB, VK_RETURN, VK_ESCAPE}) ::SendMessageW(edit, WM_KEYDOWN, key, 1);
    ASSERT_EQ(dialog.m_seen.size(), 3u);
    EXPECT_EQ(dialog.m_seen[0], std::make_pair(static_cast<UINT>(WM_NEXTDLGCTL), WPARAM{0}));
    EXPECT_EQ(dialog.m_seen[1], std::make_pair(static_cast<UINT>(WM_COMMAND), WPARAM{MAKEWPARAM(1002, kEnter)}));
    EXPECT_EQ(dialog.m_seen[2], std::make_pair(static_cast<UINT>(WM_COMMAND), WPARAM{MAKEWPARAM(1002, kEscape)}));
    EXPECT_EQ(dialog.m_lastSender, reinterpret_cast<LPARAM>(edit));
    EXPECT_EQ(::GetFocus(), edit);  // the only tab stop keeps the focus

    for (WPARAM c : {WPARAM{'a'}, WPARAM{13}, WPARAM{27}, WPARAM{'b'}}) ::SendMessageW(edit, WM_CHAR, c, 1);
    EXPECT_EQ(dialog.m_edit.GetWindowText(), "ab");
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_edit.m_hWnd, nullptr);
}

TEST_F(ChatBoxTest, CreateReportsFailureAndLeavesNoWindowWhenTheObjectIsBoundAlready) {
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.Create(Game()));
    HWND first = dialog.m_hWnd;
    auto children = [] {
        int count = 0;
        for (HWND w = ::GetWindow(Game(), GW_CHILD); w != nullptr; w = ::GetWindow(w, GW_HWNDNEXT)) ++count;
        return count;
    };
    const int before = children();
    EXPECT_FALSE(dialog.Create(Game())) << "a second window could not be bound to the object";
    EXPECT_EQ(children(), before) << "the unbound window stayed";
    EXPECT_EQ(dialog.m_hWnd, first);
    dialog.DestroyWindow();
}

TEST_F(ChatBoxTest, UpAndDownWalkTheHistoryWithTheWholeTextSelected) {
    Open(0);
    History().m_history = {"a", "b", "c"};
    History().m_historyIndex = 3;

    KeyDown(VK_UP);
    EXPECT_EQ(EditText(), "c");
    EXPECT_EQ(Selection(), std::make_pair(0, 1));
    EXPECT_EQ(History().m_historyIndex, 2);  // the edit's change report did not reset it
    KeyDown(VK_UP);
    EXPECT_EQ(EditText(), "b");
    KeyDown(VK_DOWN);
    EXPECT_EQ(EditText(), "c");
    KeyDown(VK_DOWN);
    EXPECT_EQ(EditText(), "c");
    EXPECT_EQ(History().m_historyIndex, 2);

    KeyDown(VK_UP);
    KeyDown(VK_UP);
    KeyDown(VK_UP);
    EXPECT_EQ(EditText(), "a");
    EXPECT_EQ(History().m_historyIndex, 0);
}

TEST_F(ChatBoxTest, TypingAfterNavigatingPutsTheIndexPastTheNewest) {
    Open(0);
    History().m_history = {"a", "b", "c"};
    History().m_historyIndex = 3;
    KeyDown(VK_UP);
    KeyDown(VK_UP);
    ASSERT_EQ(EditText(), "b");
    ::SendMessageW(Edit(), EM_SETSEL, 1, 1);
    Type("x");
    EXPECT_EQ(EditText(), "bx");
    EXPECT_EQ(History().m_historyIndex, 3);
    KeyDown(VK_UP);
    EXPECT_EQ(EditText(), "c");
}

TEST_F(ChatBoxTest, WithHistoryOffUpAndDownAreTheEditsOwn) {
    GetAppSettings().m_bRememberHistory = 0;
    Open(0);
    History().m_history = {"a", "b", "c"};
    History().m_historyIndex = 3;
    Type("xy");
    ASSERT_EQ(Selection(), std::make_pair(2, 2));
    KeyDown(VK_UP);  // a single-line edit moves the caret back
    EXPECT_EQ(EditText(), "xy");
    EXPECT_EQ(Selection(), std::make_pair(1, 1));
    KeyDown(VK_DOWN);
    EXPECT_EQ(EditText(), "xy");
    EXPECT_EQ(History().m_historyIndex, 3);
}

TEST_F(ChatBoxTest, ControlsDrawInTheBoxColours) {
    Open(0);
    HWND box = theChatBox.m_hWnd;
    HDC dc = ::CreateCompatibleDC(nullptr);
    const COLORREF untouched = RGB(1, 2, 3);
    struct Case {
        UINT message;
        COLORREF background;
        COLORREF text;
        HBRUSH brush;
    } cases[] = {
        {WM_CTLCOLORDLG, 0x44584C, untouched, theChatBox.m_brushBack.get()},
        {WM_CTLCOLORSTATIC, 0x44584C, 0x95AAA0, theChatBox.m_brushBack.get()},
        {WM_CTLCOLOREDIT, 0x37463E, 0xD3DED8, theChatBox.m_brushEdit.get()},
    };
    for (const Case& c : cases) {
        ::SetBkColor(dc, untouched);
        ::SetTextColor(dc, untouched);
        const auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessageW(box, c.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Edit())));
        EXPECT_EQ(brush, c.brush) << c.message;
        EXPECT_EQ(::GetBkColor(dc), c.background) << c.message;
        EXPECT_EQ(::GetTextColor(dc), c.text) << c.message;
        EXPECT_EQ(::GetBkMode(dc), OPAQUE) << c.message;
    }
    ::DeleteDC(dc);
    LOGBRUSH back{}, edit{};
    ::GetObjectW(theChatBox.m_brushBack.get(), sizeof back, &back);
    ::GetObjectW(theChatBox.m_brushEdit.get(), sizeof edit, &edit);
    EXPECT_EQ(back.lbColor, 0x44584Cu);
    EXPECT_EQ(edit.lbColor, 0x37463Eu);
}

TEST_F(ChatBoxTest, PaintedPixelsShowTheFrameTheBackgroundAndTheWell) {
    Open(0);
    HWND box = theChatBox.m_hWnd;
    RECT client{};
    ::GetClientRect(box, &client);
    RECT edit{};
    ::GetWindowRect(Edit(), &edit);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&edit), 2);
    POINT origin{0, 0};
    ::ClientToScreen(box, &origin);
    HDC screen = ::GetDC(nullptr);
    auto pixel = [&](LONG x, LONG y) { return ::GetPixel(screen, origin.x + x, origin.y + y); };
    const LONG w = client.right, h = client.bottom;
    ::RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpUntil([&] { return pixel(0, 0) == 0x809188u && pixel(edit.left - 5, edit.top - 5) == 0x222E28u; });

    EXPECT_EQ(pixel(0, 0), 0x809188u);          // raised frame: light top-left
    EXPECT_EQ(pixel(w - 2, 0), 0x809188u);
    EXPECT_EQ(pixel(w - 1, 0), 0x222E28u);      // the far corners take the dark edge
    EXPECT_EQ(pixel(0, h - 1), 0x222E28u);
    EXPECT_EQ(pixel(w - 1, h - 1), 0x222E28u);
    EXPECT_EQ(pixel(1, 1), 0x44584Cu);          // interior
    EXPECT_EQ(pixel(w - 2, h - 2), 0x44584Cu);
    EXPECT_EQ(pixel(edit.left - 5, edit.top - 5), 0x222E28u);  // sunken well: dark top-left
    EXPECT_EQ(pixel(edit.right + 3, edit.top - 5), 0x222E28u);
    EXPECT_EQ(pixel(edit.right + 4, edit.top - 5), 0x809188u);
    EXPECT_EQ(pixel(edit.left - 5, edit.bottom + 4), 0x809188u);
    EXPECT_EQ(pixel(edit.left - 4, edit.top - 4), 0x37463Eu);  // the well's margin
    EXPECT_EQ(pixel(edit.right + 3, edit.bottom + 3), 0x37463Eu);
    EXPECT_EQ(pixel(edit.right + 6, edit.bottom + 6), 0x44584Cu);
    ::ReleaseDC(nullptr, screen);
}

TEST_F(ChatBoxTest, EnterWritesTheCommandRecordsItAndHandsTheFocusBack) {
    MakeModFolder();
    Open(1);
    Type("hi there");
    KeyDown(VK_RETURN);
    EXPECT_FALSE(Box().shown) << Box().text;
    EXPECT_EQ(ReadAll(m_cfgPath), "say_team \"hi there\"");
    EXPECT_EQ(ChatBoxWindow(), nullptr);
    EXPECT_EQ(::GetFocus(), Game());
    EXPECT_EQ(History().m_history, std::vector<std::string>{"hi there"});
    EXPECT_EQ(StoredCount(), 1u);  // saved when the window went
    PumpPending();
}

// The box holds three parts of at most 100 bytes of UTF-8 each, however the text
// came in, and never half a character; Enter sends what it shows, its first part
// at once.
TEST_F(ChatBoxTest, TypedPastedAndRecalledTextStopsAtTheMessageLimit) {
    MakeModFolder();
    Open(0);
    const std::wstring ni = L"\x4F60";
    for (int i = 0; i < 110; ++i) ::SendMessageW(Edit(), WM_CHAR, ni[0], 1);
    std::wstring ninetyNine;
    for (int i = 0; i < 99; ++i) ninetyNine += ni;
    EXPECT_EQ(theChatBox.m_editMessage.GetWindowTextW(), ninetyNine) << "33 characters in each part";
    Type("ab");  // one more byte fits the last part, the next does not
    EXPECT_EQ(theChatBox.m_editMessage.GetWindowTextW(), ninetyNine + L"a");

    // A paste into the middle keeps what follows the caret and cuts the paste.
    ::SetWindowTextW(Edit(), L"<>");
    theChatBox.m_editMessage.SetSel(1, 1);
    const std::wstring paste(400, L'x');
    ::SendMessageW(Edit(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(paste.c_str()));
    EXPECT_EQ(theChatBox.m_editMessage.GetWindowTextW(), L"<" + std::wstring(298, L'x') + L">");
    EXPECT_EQ(Selection(), std::make_pair(299, 299));

    // An entry stored longer than a message shows, and is sent, cut.
    std::string many;
    for (int i = 0; i < 120; ++i) many += "\xE4\xBD\xA0";
    History().m_history = {many};
    History().m_historyIndex = 1;
    KeyDown(VK_UP);
    EXPECT_EQ(EditText(), many.substr(0, 297));
    KeyDown(VK_RETURN);
    EXPECT_EQ(ReadAll(m_cfgPath), "say \"" + many.substr(0, 99) + "\"");
    EXPECT_EQ(thePartSender.Waiting(), 2u);
    EXPECT_EQ(History().m_history.back(), many.substr(0, 297)) << "the whole message";
    PumpPending();
}

// Once a second part starts, the version label's place counts the parts; once 30
// bytes or fewer are left in the last part, it says how many, in the box's own
// font and colours; with one part it is the version label again.
TEST_F(ChatBoxTest, RoomLeftShowsInThePlaceOfTheVersionLabelNearTheLimit) {
    Open(0);
    HWND label = nullptr;
    for (HWND child = ::GetWindow(theChatBox.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetDlgCtrlID(child) != IDC_MESSAGE_EDIT && ::GetDlgCtrlID(child) != IDC_PROMPT) label = child;
    ASSERT_NE(label, nullptr);
    auto labelText = [&] {
        wchar_t text[64] = {};
        ::GetWindowTextW(label, text, 64);
        return std::wstring(text);
    };
    EXPECT_EQ(labelText(), L"Ver: 1.6");
    Type(std::string(100, 'a'));
    EXPECT_EQ(labelText(), L"Ver: 1.6") << "one full part";
    Type("a");
    EXPECT_EQ(labelText(), L"2/3");
    Type(std::string(168, 'a'));
    EXPECT_EQ(labelText(), L"3/3") << "31 bytes left";
    Type("a");
    EXPECT_EQ(labelText(), L"3/3 \x8FD8\x5269 30 \x5B57\x8282");
    {
        // The longest label fits the label's width in its own font: nothing of it
        // is cut or wrapped out of sight.
        HDC dc = ::GetDC(label);
        const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
        const std::wstring text = labelText();
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::SelectObject(dc, old);
        ::ReleaseDC(label, dc);
        RECT client{};
        ::GetClientRect(label, &client);
        EXPECT_LE(extent.cx, client.right - client.left);
    }
    ::SendMessageW(Edit(), WM_CHAR, 0x4F60, 1);
    EXPECT_EQ(labelText(), L"3/3 \x8FD8\x5269 27 \x5B57\x8282");
    Type(std::string(40, 'b'));
    EXPECT_EQ(labelText(), L"3/3 \x8FD8\x5269 0 \x5B57\x8282");
    ::SetWindowTextW(Edit(), L"");
    EXPECT_EQ(labelText(), L"Ver: 1.6");
    // Drawn by the static control itself: the prompt's colours.
    EXPECT_EQ(::SendMessageW(theChatBox.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(::GetDC(label)),
                             reinterpret_cast<LPARAM>(label)),
              reinterpret_cast<LRESULT>(theChatBox.m_brushBack.get()));
}

TEST_F(ChatBoxTest, EnterInAnEmptyBoxWritesNothingRecordsNothingAndStillCloses) {
    MakeModFolder();
    // A full list: an empty entry would push out the oldest message.
    std::vector<std::string> full;
    for (std::uint32_t i = 0; i < GetAppSettings().m_nMaxHistoryItems; ++i) full.push_back("m" + std::to_string(i));
    History().m_history = full;
    Open(0);
    KeyDown(VK_RETURN);
    EXPECT_FALSE(Exists(m_cfgPath));
    EXPECT_EQ(ChatBoxWindow(), nullptr);
    EXPECT_EQ(::GetFocus(), Game());
    EXPECT_EQ(History().m_history, full);
}

// A failed write loses nothing: the box stays open with the text as typed, and
// Enter once the folder is there says it.
TEST_F(ChatBoxTest, MissingModFolderShowsTheFileErrorAndKeepsTheText) {
    Open(0);
    Type("kept");
    KeyDown(VK_RETURN);
    ASSERT_TRUE(Box().shown);
    EXPECT_EQ(Box().caption, AfxGetApp()->AppName());
    EXPECT_EQ(Box().text, m_cfgPath + " contains an invalid path.");
    ASSERT_NE(ChatBoxWindow(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(ChatBoxWindow()));
    EXPECT_EQ(EditText(), "kept");
    EXPECT_EQ(::GetFocus(), Edit());
    EXPECT_TRUE(History().m_history.empty());
    EXPECT_FALSE(Exists(m_cfgPath));
    EXPECT_EQ(thePartSender.Waiting(), 0u) << "nothing queued behind the box's back";

    MakeModFolder();
    KeyDown(VK_RETURN);
    EXPECT_EQ(ReadAll(m_cfgPath), "say \"kept\"");
    EXPECT_EQ(ChatBoxWindow(), nullptr);
    EXPECT_EQ(::GetFocus(), Game());
    EXPECT_EQ(History().m_history, std::vector<std::string>{"kept"});
}

TEST_F(ChatBoxTest, EscapeClosesWithoutSendingAndSavesTheHistory) {
    MakeModFolder();
    History().m_history = {"kept"};
    Open(0);
    Type("never sent");
    KeyDown(VK_ESCAPE);
    EXPECT_EQ(ChatBoxWindow(), nullptr);
    EXPECT_EQ(::GetFocus(), Game());
    EXPECT_FALSE(Exists(m_cfgPath));
    EXPECT_EQ(History().m_history, std::vector<std::string>{"kept"});
    EXPECT_EQ(StoredCount(), 1u);

    // The next opening merges the stored entry back without doubling it.
    Open(0);
    EXPECT_EQ(History().m_history, std::vector<std::string>{"kept"});
    EXPECT_EQ(EditText(), "");
}

TEST_F(ChatBoxTest, FocusInTheGameKeepsTheBoxAndFocusNowhereClosesIt) {
    GetAppSettings().m_bRememberHistory = 0;
    Open(0);
    ::SetFocus(Game());
    EXPECT_TRUE(::IsWindowVisible(ChatBoxWindow()));
    ::SetFocus(Edit());
    ::SetFocus(nullptr);  // as when another application takes the keyboard
    EXPECT_EQ(ChatBoxWindow(), nullptr);
    EXPECT_EQ(StoredCount(), 0xDEADu);  // history off: nothing was saved
}

}  // namespace
