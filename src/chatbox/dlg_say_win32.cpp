#include "chatbox/dlg_say_win32.h"

#include <string>

#include "chatbox/dialog_rules.h"
#include "chatbox/edit_rules.h"
#include "chatbox/frame_overlay_win32.h"
#include "chatbox/paint_plan.h"
#include "chatbox/text_limit.h"
#include "framework/dc_win32.h"
#include "common/utf8.h"
#include "framework/wide_text_win32.h"
#include "framework/win_app_win32.h"
#include "hook/game_folder_win32.h"
#include "settings/app_settings_instance.h"
#include "settings/layout_catalog.h"
#include "settings/layout_source_win32.h"
// Last: its macros share names with constants of the headers above.
#include "../../res/resource.h"

namespace {

// A string of the module's table as it is stored, UTF-16; empty when it is missing.
std::wstring LoadWideString(UINT id) {
    const wchar_t* text = nullptr;
    // Length 0 asks for a pointer into the resource itself, which is not terminated.
    const int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

// The version label is the template's one control without an id of its own.
HWND VersionLabel(HWND dialog) noexcept {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (id != IDC_MESSAGE_EDIT && id != IDC_PROMPT) return child;
    }
    return nullptr;
}

// The calling thread's layouts, which are the box's: it runs on the game's thread.
class ThreadLayouts final : public LayoutPlatform {
public:
    std::uintptr_t ActiveLayout() noexcept override {
        return reinterpret_cast<std::uintptr_t>(::GetKeyboardLayout(::GetCurrentThreadId()));
    }
    void Activate(std::uintptr_t layout) noexcept override {
        ::ActivateKeyboardLayout(reinterpret_cast<HKL>(layout), 0);
    }
};

}  // namespace

CDlgSay::CDlgSay() noexcept
    : CDialog(IDD_SAY),
      m_brushBack(::CreateSolidBrush(kBackColour)),
      m_brushEdit(::CreateSolidBrush(kEditBackColour)) {}

CDlgSay::~CDlgSay() = default;

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
            case EN_CHANGE:
            case EN_IME_COMPOSITION:
                OnEditChange();
                return 0;
            case EN_IME_CANDIDATES:
                m_candidateArea.Update(m_hWnd, m_editMessage.m_hWnd, m_editMessage.Candidates());
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_PRINTCLIENT: {
        CDC target(reinterpret_cast<HDC>(wParam));
        PaintOn(target);
        return 0;
    }
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
    m_layoutSwitch.BeginOpening();
    m_profileSwitch.BeginOpening();
    m_editMessage.ResetIme();
    m_candidateArea.Reset();
    CDialog::OnInitDialog();
    // Wide all the way: the Chinese prompts show whatever the ANSI code page is.
    const std::wstring prompt = LoadWideString(static_cast<UINT>(PromptStringId(m_mode)));
    SetDlgItemText(IDC_PROMPT, prompt.c_str());
    m_versionLabel = VersionLabel(m_hWnd);
    m_versionText.clear();
    if (m_versionLabel != nullptr) {
        wchar_t text[64] = {};
        ::GetWindowTextW(m_versionLabel, text, 64);
        m_versionText = text;
    }
    m_labelShown = {};
    if (GetAppSettings().m_bRememberHistory != 0) m_editMessage.LoadHistory();
    RECT edit{};
    m_editMessage.GetWindowRect(&edit);
    m_editMessage.SetWindowPos(nullptr, 0, 0, edit.right - edit.left, m_editMessage.GetLineHeight(),
                               SWP_NOMOVE | SWP_NOZORDER);
    m_editMessage.StartIme(GetAppSettings().m_bImeMode != 0);
    return TRUE;
}

void CDlgSay::OnEditSetFocus() {
    const CAppSettings& settings = GetAppSettings();
    if (settings.m_bAutoIme == 0 || settings.m_strSelectedIme.empty()) return;
    // Built anew at every focus gain: layouts may be installed while the game runs.
    SystemLayoutSource source;
    const CLayoutCatalog catalog(source);
    const LayoutEntry* entry = catalog.FindUtf8(settings.m_strSelectedIme, &SystemEqualIgnoringCase);
    if (entry == nullptr) return;
    if (entry->textService) {
        m_profileSwitch.OnFocusGain(entry->profile);
        return;
    }
    ThreadLayouts layouts;
    m_layoutSwitch.OnFocusGain(layouts, entry->hkl);
}

void CDlgSay::OnEditChange() {
    if (m_versionLabel == nullptr) return;
    // Counts the composition as the commit would leave it.
    const auto [start, end] = m_editMessage.GetSel();
    const std::string text =
        Utf8IfCommitted(AsUtf16(m_editMessage.GetWindowTextW()), static_cast<std::size_t>(start),
                        static_cast<std::size_t>(end), m_editMessage.GetComposition().Text());
    const PartsLabel label = PartsLabelFor(text, AsUtf16(LoadWideString(IDS_ROOM_LEFT)));
    if (label.View() == m_labelShown.View()) return;  // unchanged: no flicker of the label
    m_labelShown = label;
    // The label keeps its place, font and colours; only its text says how much is left.
    ::SetWindowTextW(m_versionLabel,
                     label.length == 0 ? m_versionText.c_str() : reinterpret_cast<const wchar_t*>(label.units));
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
    StopFrameOverlay();
    if (m_gameClipAdded) {
        m_gameClipAdded = false;
        const HWND game = GetParent();
        const LONG_PTR style = ::GetWindowLongPtrW(game, GWL_STYLE);
        if (style != 0) ::SetWindowLongPtrW(game, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
    }
    SaveHistoryIfRemembered();
}

void CDlgSay::SaveHistoryIfRemembered() {
    if (GetAppSettings().m_bRememberHistory != 0) m_editMessage.SaveHistory();
}

void CDlgSay::RestoreLayout() noexcept {
    // Reached from the closing paths and the unload: no setting that cannot be had
    // may end the game, so a record that cannot be created restores nothing.
    const CAppSettings* settings = FindAppSettings();
    const bool autoIme = settings != nullptr && settings->m_bAutoIme != 0;
    ThreadLayouts layouts;
    m_layoutSwitch.Restore(layouts, autoIme);
    m_profileSwitch.Restore(autoIme);
}

void CDlgSay::AbandonAtProcessEnd() noexcept {
    m_editMessage.Abandon();
    Abandon();
}
