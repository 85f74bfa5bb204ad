// The test IME on its own, in a plain edit control of this process: what the
// chat box's tests rely on it to do. Wine's edit shows the composition inline
// and takes the result; the messages and candidate lists are what a real IMM
// IME gives any window.
#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "e2e_fixture_win32.h"
#include "test_ime_install_win32.h"

namespace e2e {
namespace {

// What the edit received from the IME, one line per message, in UTF-8.
std::vector<std::string> g_seen;
WNDPROC g_editProc = nullptr;

std::string CandidateSnapshot(HWND window) {
    HIMC context = ::ImmGetContext(window);
    const DWORD size = context ? ::ImmGetCandidateListW(context, 0, nullptr, 0) : 0;
    std::string text = "candidates";
    if (size >= sizeof(CANDIDATELIST)) {
        std::vector<BYTE> buffer(size);
        auto* list = reinterpret_cast<CANDIDATELIST*>(buffer.data());
        if (::ImmGetCandidateListW(context, 0, list, size) == size) {
            text += " count " + std::to_string(list->dwCount) + " selection " + std::to_string(list->dwSelection) +
                    " page " + std::to_string(list->dwPageStart) + "+" + std::to_string(list->dwPageSize) + ":";
            for (DWORD i = 0; i < list->dwCount; ++i)
                text += " " + drive::WideToUtf8(reinterpret_cast<const wchar_t*>(buffer.data() + list->dwOffset[i]));
        }
    }
    if (context) ::ImmReleaseContext(window, context);
    return text;
}

std::string CompositionPart(HWND window, DWORD part) {
    HIMC context = ::ImmGetContext(window);
    std::wstring text;
    if (context) {
        const LONG bytes = ::ImmGetCompositionStringW(context, part, nullptr, 0);
        if (bytes > 0) {
            text.resize(static_cast<size_t>(bytes) / sizeof(wchar_t));
            ::ImmGetCompositionStringW(context, part, text.data(), static_cast<DWORD>(bytes));
        }
        ::ImmReleaseContext(window, context);
    }
    return drive::WideToUtf8(text);
}

std::string Caret(HWND window) {
    HIMC context = ::ImmGetContext(window);
    const LONG caret = context ? ::ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0) : -1;
    if (context) ::ImmReleaseContext(window, context);
    return std::to_string(caret);
}

LRESULT CALLBACK RecordingEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_IME_STARTCOMPOSITION: g_seen.push_back("start"); break;
    case WM_IME_ENDCOMPOSITION: g_seen.push_back("end"); break;
    case WM_IME_COMPOSITION:
        if (lParam & GCS_RESULTSTR) g_seen.push_back("result " + CompositionPart(window, GCS_RESULTSTR));
        if (lParam & GCS_COMPSTR)
            g_seen.push_back("composition " + CompositionPart(window, GCS_COMPSTR) + " reading " +
                             CompositionPart(window, GCS_COMPREADSTR) + " caret " + Caret(window));
        break;
    case WM_IME_NOTIFY:
        if (wParam == IMN_OPENCANDIDATE) g_seen.push_back("open " + CandidateSnapshot(window));
        if (wParam == IMN_CHANGECANDIDATE) g_seen.push_back("change " + CandidateSnapshot(window));
        if (wParam == IMN_CLOSECANDIDATE) g_seen.push_back("close");
        break;
    }
    return ::CallWindowProcW(g_editProc, window, message, wParam, lParam);
}

// Runs this thread's messages until `done` holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& done, DWORD deadlineMs = drive::kDeadlineMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (done()) return true;
        if (::GetTickCount() - start > deadlineMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool Seen(const std::string& line) { return std::find(g_seen.begin(), g_seen.end(), line) != g_seen.end(); }

std::string AllSeen() {
    std::string all;
    for (const auto& line : g_seen) all += line + "\n";
    return all;
}

class TestImeEditTest : public testing::Test {
protected:
    void SetUp() override {
        if (!g_brokenReason.empty()) GTEST_FAIL() << g_brokenReason;
        ASSERT_FALSE(g_testImeLayout.empty()) << g_testImeProblem;
        g_seen.clear();
        m_edit = ::CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 400, 80, nullptr,
                                   nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_edit);
        g_editProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingEditProc)));
        ::SetForegroundWindow(m_edit);
        ::SetFocus(m_edit);
        ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == m_edit; }));
        m_previous = ::GetKeyboardLayout(0);
        ASSERT_TRUE(drive::ActivateTestIme(g_testImeLayout)) << ::GetLastError();
        // Wine swaps the IME in at the next key press: one it leaves alone.
        drive::TapKey(VK_SHIFT);
        PumpUntil([] { return false; }, 200);
    }

    void TearDown() override {
        // The thread's context outlives the window: a composition a failed test
        // left must not reach the next test.
        if (HIMC context = m_edit ? ::ImmGetContext(m_edit) : nullptr) {
            ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
            ::ImmReleaseContext(m_edit, context);
        }
        if (m_previous) ::ActivateKeyboardLayout(m_previous, 0);
        if (m_edit) ::DestroyWindow(m_edit);
    }

    void Type(const char* letters) {
        for (const char* c = letters; *c; ++c) drive::TapKey(static_cast<WORD>(*c - 'a' + 'A'));
    }
    bool WaitFor(const std::string& line) { return PumpUntil([&] { return Seen(line); }); }
    std::string Text() const {
        wchar_t text[256] = {};
        ::GetWindowTextW(m_edit, text, 256);
        return drive::WideToUtf8(text);
    }
    bool WaitForText(const std::string& text) { return PumpUntil([&] { return Text() == text; }); }

    HWND m_edit = nullptr;
    HKL m_previous = nullptr;
};

TEST_F(TestImeEditTest, LettersComposeAndOfferPagedCandidates) {
    Type("ni");
    ASSERT_TRUE(WaitFor("composition ni reading ni caret 2")) << AllSeen();
    const std::string firstPage = "candidates count 12 selection 0 page 0+5: 你 尼 泥 拟 逆 腻 妮 倪 霓 昵 匿 溺";
    EXPECT_EQ(g_seen.front(), "start");
    EXPECT_TRUE(Seen("open " + firstPage)) << AllSeen();
    // The IME's own candidate window shows the page beside a window that lets it.
    HWND list = ::FindWindowW(L"ParlixTestImeList", nullptr);
    ASSERT_TRUE(list);
    EXPECT_TRUE(::IsWindowVisible(list));
    EXPECT_EQ(drive::WideToUtf8(drive::WindowText(list)), "1.你 2.尼 3.泥 4.拟 5.逆");

    drive::TapExtendedKey(VK_NEXT);
    EXPECT_TRUE(WaitFor("change candidates count 12 selection 5 page 5+5: 你 尼 泥 拟 逆 腻 妮 倪 霓 昵 匿 溺"))
        << AllSeen();
    drive::TapKey(VK_DOWN);
    EXPECT_TRUE(WaitFor("change candidates count 12 selection 6 page 5+5: 你 尼 泥 拟 逆 腻 妮 倪 霓 昵 匿 溺"))
        << AllSeen();
    drive::TapKey(VK_OEM_PLUS);  // the last page holds two
    EXPECT_TRUE(WaitFor("change candidates count 12 selection 10 page 10+5: 你 尼 泥 拟 逆 腻 妮 倪 霓 昵 匿 溺"))
        << AllSeen();
    drive::TapKey('5');  // beyond the page: swallowed, nothing chosen
    drive::TapExtendedKey(VK_PRIOR);
    EXPECT_TRUE(WaitFor("change candidates count 12 selection 5 page 5+5: 你 尼 泥 拟 逆 腻 妮 倪 霓 昵 匿 溺"))
        << AllSeen();
    drive::TapKey('2');
    ASSERT_TRUE(WaitForText("妮")) << AllSeen();
    EXPECT_TRUE(Seen("result 妮")) << AllSeen();
    EXPECT_EQ(g_seen.back(), "end") << AllSeen();
    // The close comes before the result, as the system's IMEs send it.
    const auto close = std::find(g_seen.begin(), g_seen.end(), "close");
    EXPECT_LT(close - g_seen.begin(), std::find(g_seen.begin(), g_seen.end(), "result 妮") - g_seen.begin());
    EXPECT_FALSE(::IsWindowVisible(list));
}

TEST_F(TestImeEditTest, SpaceEnterEscapeAndBackspaceEndTheCompositionAsAnImeDoes) {
    Type("hao");
    ASSERT_TRUE(WaitFor("composition hao reading hao caret 3")) << AllSeen();
    drive::TapKey(VK_SPACE);  // the selected candidate
    ASSERT_TRUE(WaitForText("好")) << AllSeen();

    Type("xyz");  // no candidates: Enter commits the letters as typed
    ASSERT_TRUE(WaitFor("composition xyz reading xyz caret 3")) << AllSeen();
    EXPECT_FALSE(Seen("open candidates")) << AllSeen();
    drive::TapKey(VK_RETURN);
    ASSERT_TRUE(WaitForText("好xyz")) << AllSeen();

    g_seen.clear();
    Type("wo");
    ASSERT_TRUE(WaitFor("composition wo reading wo caret 2")) << AllSeen();
    drive::TapKey(VK_ESCAPE);
    ASSERT_TRUE(WaitFor("end")) << AllSeen();
    EXPECT_TRUE(Seen("close")) << AllSeen();
    EXPECT_TRUE(Seen("composition  reading  caret 0")) << AllSeen();
    EXPECT_FALSE(Seen("result 我")) << AllSeen();

    g_seen.clear();
    Type("nix");  // "nix" has no candidates: the list closes, Backspace brings it back
    ASSERT_TRUE(WaitFor("close")) << AllSeen();
    drive::TapKey(VK_BACK);
    ASSERT_TRUE(WaitFor("composition ni reading ni caret 2")) << AllSeen();
    EXPECT_EQ(std::count_if(g_seen.begin(), g_seen.end(), [](const std::string& line) { return line.rfind("open", 0) == 0; }), 2)
        << AllSeen();
    drive::TapKey(VK_BACK);
    drive::TapKey(VK_BACK);
    ASSERT_TRUE(WaitFor("end")) << AllSeen();
    // Nothing was committed by any of it.
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(Text(), "好xyz");
}

}  // namespace
}  // namespace e2e
