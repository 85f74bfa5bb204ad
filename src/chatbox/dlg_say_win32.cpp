#include "chatbox/dlg_say_win32.h"

#include <atomic>
#include <cstdlib>
#include <string>

#include "chatbox/dialog_rules.h"
#include "chatbox/edit_rules.h"
#include "chatbox/paint_plan.h"
#include "framework/win_app_win32.h"
#include "hook/game_folder_win32.h"
#include "settings/app_settings.h"
#include "settings/layout_catalog.h"
#include "settings/layout_source_win32.h"
// Last: its macros share names with constants of the headers above.
#include "../../res/resource.h"

namespace {

UINT DecideAnsiCodePage() noexcept {
    const DWORD version = ::GetVersion();
    const bool ntFamily = (version & 0x80000000u) == 0;
    if (ntFamily && LOBYTE(LOWORD(version)) >= 5) return CP_THREAD_ACP;
    char digits[8] = {};
    if (::GetLocaleInfoA(::GetThreadLocale(), LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof digits) > 0) {
        const UINT codePage = static_cast<UINT>(std::strtoul(digits, nullptr, 10));
        if (codePage != 0) return codePage;
    }
    return ::GetACP();
}

// A string of the module's table in the ANSI code page; empty when it is missing.
std::string LoadAnsiString(UINT id) {
    const wchar_t* text = nullptr;
    // Length 0 asks for a pointer into the resource itself, which is not terminated.
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    const UINT codePage = GetAnsiCodePage();
    const int size = ::WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string ansi(static_cast<size_t>(size), '\0');
    const int written = ::WideCharToMultiByte(codePage, 0, text, length, ansi.data(), size, nullptr, nullptr);
    ansi.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return ansi;
}

}  // namespace

// Decided at the first conversion and kept for the process. Two threads racing
// here both store the same answer, so a plain atomic does without the locked
// static initialisation (and the thread library it would link into the module).
UINT GetAnsiCodePage() noexcept {
    static std::atomic<UINT> decided{0};
    UINT codePage = decided.load(std::memory_order_relaxed);
    if (codePage == 0) {
        codePage = DecideAnsiCodePage();
        decided.store(codePage, std::memory_order_relaxed);
    }
    return codePage;
}

CDlgSay::CDlgSay() noexcept
    : CDialog(IDD_SAY),
      m_brushBack(::CreateSolidBrush(kBackColour)),
      m_brushEdit(::CreateSolidBrush(kEditBackColour)) {}

void CDlgSay::DoDataExchange(CDataExchange& dx) { DDX_Control(dx, IDC_MESSAGE_EDIT, m_editMessage); }

GameFolder CDlgSay::DetectGameFolder() const { return DetectGameFolderForWindow(m_hWnd); }

LRESULT CDlgSay::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MESSAGE_EDIT) {
            switch (HIWORD(wParam)) {
            case EN_KEY_ENTER:
                OnOK();
                return 0;
            case EN_KEY_ESCAPE:
                OnCancel();
                return 0;
            case EN_SETFOCUS:
                OnEditSetFocus();
                return 0;
            case EN_KILLFOCUS:
                OnEditKillFocus();
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), ControlKind::dialog));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), ControlKind::staticText));
    case WM_CTLCOLOREDIT:
        return reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam), ControlKind::edit));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CDlgSay::OnInitDialog() {
    CDialog::OnInitDialog();
    const std::string prompt = LoadAnsiString(static_cast<UINT>(PromptStringId(m_mode)));
    SetDlgItemText(IDC_PROMPT, prompt.c_str());
    if (GetAppSettings().m_bRememberHistory != 0) m_editMessage.LoadHistory();
    RECT edit{};
    m_editMessage.GetWindowRect(&edit);
    m_editMessage.SetWindowPos(nullptr, 0, 0, edit.right - edit.left, m_editMessage.GetLineHeight(),
                               SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

void CDlgSay::OnEditSetFocus() {
    const CAppSettings& settings = GetAppSettings();
    if (settings.m_bAutoIme == 0 || settings.m_strSelectedIme.empty()) return;
    // Built anew at every focus gain: layouts may be installed while the game runs.
    SystemLayoutSource source;
    const CLayoutCatalog catalog(source);
    const std::uintptr_t hkl = catalog.FindByDescription(settings.m_strSelectedIme, AnsiMultibyteRules());
    if (hkl == 0) return;
    m_hklPrevious = ::GetKeyboardLayout(::GetCurrentThreadId());
    ::ActivateKeyboardLayout(reinterpret_cast<HKL>(hkl), 0);
}

void CDlgSay::OnEditKillFocus() {
    const HWND game = GetParent();
    const HWND focus = ::GetFocus();
    const DWORD focusThread = focus != nullptr ? ::GetWindowThreadProcessId(focus, nullptr) : 0;
    const DWORD gameThread = ::GetWindowThreadProcessId(game, nullptr);
    if (StaysOpenAfterFocusLoss(focus != nullptr, focusThread, gameThread)) return;
    RestoreLayout();
    // From inside the edit's own focus-loss notification: nothing is touched after.
    DestroyWindow();
}

void CDlgSay::OnCancel() {
    const HWND game = GetParent();
    RestoreLayout();
    CDialog::OnCancel();
    // Reaches OnEditKillFocus synchronously; it may already destroy the window, and
    // DestroyWindow below then finds the object unbound and does nothing.
    ::SetFocus(game);
    DestroyWindow();
}

void CDlgSay::OnDestroy() {
    Default(WM_DESTROY, 0, 0);
    if (GetAppSettings().m_bRememberHistory != 0) m_editMessage.SaveHistory();
}

void CDlgSay::RestoreLayout() const noexcept {
    if (GetAppSettings().m_bAutoIme != 0 && m_hklPrevious != nullptr) ::ActivateKeyboardLayout(m_hklPrevious, 0);
}
