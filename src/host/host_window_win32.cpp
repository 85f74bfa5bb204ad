#include "host_window_win32.h"

#include <commdlg.h>

#include <iterator>
#include <vector>

#include "framework/unique_handle_win32.h"
#include "game_setup_win32.h"
#include "host/host_settings.h"
#include "host_log_win32.h"
#include "host_resource.h"
#include "host_text_win32.h"
#include "settings/key_names.h"
#include "settings/layout_catalog.h"
#include "settings/layout_source_win32.h"
#include "app/hook_app_win32.h"
#include "settings/registry_profile_store_win32.h"

namespace {

constexpr const wchar_t* kTitle = L"Parlix";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Parlix";
constexpr int kKeyCombos[4] = {IDC_HOST_SAY_KEY, IDC_HOST_TEAM_KEY, IDC_HOST_RCON_KEY, IDC_HOST_SEND_KEY};

// The value "Parlix" of the user's Run key: this program's full path, unquoted, as
// the module's start-at-logon test reads it; no value at all when switched off.
bool WriteAutoRun(bool on, std::wstring& problem) {
    UniqueHkey run;
    LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE, nullptr, run.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        if (on) {
            const std::wstring path = HostExecutablePath();
            status = ::RegSetValueExW(run.get(), kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                      static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
        } else {
            status = ::RegDeleteValueW(run.get(), kRunValue);
            if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
        }
    }
    if (status != ERROR_SUCCESS) problem = L"Start at logon could not be changed: " + SystemErrorText(status);
    return status == ERROR_SUCCESS;
}

std::string DlgItemTextA(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    int length = ::GetWindowTextLengthA(item);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring DlgItemTextW(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    int length = ::GetWindowTextLengthW(item);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(item, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

// Selects the item of that text (letter case aside), or nothing when it is missing.
void SelectComboText(HWND combo, const std::string& text) {
    LRESULT index = text.empty() ? CB_ERR
                                 : ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(text.c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
}

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { ::CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

std::wstring StatusText(const HookModule& hook, const CAppSettings& settings) {
    if (!hook.Installed()) {
        return L"The keyboard hook could not be installed, so the chat box will not open in the game. " +
               hook.Problem();
    }
    // Keys saved by hand or by an older version may be ones the module misreads.
    if (std::string problem = CheckKeyChoice(settings.m_strKeys); !problem.empty())
        return L"Parlix is running, but the saved keys need a change: " + WideFromAnsi(problem);
    return L"Parlix is running. In the game, " + WideFromAnsi(settings.m_strKeys[0]) +
           L" opens the chat box to say to all, " + WideFromAnsi(settings.m_strKeys[1]) + L" to your team, " +
           WideFromAnsi(settings.m_strKeys[2]) + L" for rcon say. Enter sends the message with " +
           WideFromAnsi(settings.m_strKeys[3]) + L".";
}

}  // namespace

bool CHostWindow::RegisterWindowClass(HINSTANCE instance) noexcept {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ::DefDlgProcW;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}

UINT CHostWindow::ShowRequestMessage() noexcept { return ::RegisterWindowMessageW(L"ParlixHost.ShowWindow"); }

CHostWindow::CHostWindow(HookModule& hook, const CAppSettings& saved, bool autoRun) noexcept
    : CDialog(IDD_HOST), m_hook(hook), m_saved(saved), m_autoRun(autoRun) {}

bool CHostWindow::Open(bool startMinimized) noexcept {
    m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    m_showRequest = ShowRequestMessage();
    m_icon = ::LoadIconA(nullptr, IDI_APPLICATION);
    if (!Create(nullptr)) return false;
    ApplyTray();
    if (startMinimized && m_hook.Installed()) {
        if (m_saved.m_bMinimizeToTray && m_tray.Shown()) {
            HostLog("shown tray");
        } else {
            ::ShowWindow(m_hWnd, SW_SHOWMINNOACTIVE);
            HostLog("shown minimized");
        }
    } else {
        // A hook that failed is shown whatever the settings say: the player must see it.
        ::ShowWindow(m_hWnd, SW_SHOW);
        HostLog("shown window");
        if (!m_hook.Installed()) Tell(StatusText(m_hook, m_saved), MB_ICONERROR);
    }
    return true;
}

void CHostWindow::BringUp() noexcept {
    ::ShowWindow(m_hWnd, ::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    HostLog("brought up");
}

BOOL CHostWindow::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    ::SendDlgItemMessageW(m_hWnd, IDC_HOST_MAX_HISTORY, EM_LIMITTEXT, 2, 0);
    for (int id : kKeyCombos) {
        for (const KeyNameEntry& entry : KeyNameTable())
            ::SendDlgItemMessageA(m_hWnd, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name));
    }
    FillControls();
    UpdateStatus();
    return TRUE;
}

void CHostWindow::FillControls() {
    ::SetDlgItemTextW(m_hWnd, IDC_HOST_EXE, WideFromAnsi(m_saved.m_strExecutableFile).c_str());
    for (int i = 0; i < 4; ++i) SelectComboText(::GetDlgItem(m_hWnd, kKeyCombos[i]), m_saved.m_strKeys[i]);

    HWND imeCombo = ::GetDlgItem(m_hWnd, IDC_HOST_IME);
    ::SendMessageW(imeCombo, CB_RESETCONTENT, 0, 0);
    SystemLayoutSource layouts;
    CLayoutCatalog catalog(layouts);
    for (const LayoutEntry& entry : catalog.Entries())
        ::SendMessageA(imeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.description.c_str()));
    // An IME chosen earlier and not installed now stays choosable, so saving other
    // settings does not silently drop it.
    if (!m_saved.m_strSelectedIme.empty() &&
        ::SendMessageA(imeCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(m_saved.m_strSelectedIme.c_str())) == CB_ERR)
        ::SendMessageA(imeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_saved.m_strSelectedIme.c_str()));
    SelectComboText(imeCombo, m_saved.m_strSelectedIme);

    Check(m_hWnd, IDC_HOST_AUTO_IME, m_saved.m_bAutoIme != 0);
    Check(m_hWnd, IDC_HOST_REMEMBER, m_saved.m_bRememberHistory != 0);
    ::SetDlgItemInt(m_hWnd, IDC_HOST_MAX_HISTORY, m_saved.m_nMaxHistoryItems, FALSE);
    Check(m_hWnd, IDC_HOST_TRAY, m_saved.m_bMinimizeToTray != 0);
    Check(m_hWnd, IDC_HOST_START_MIN, m_saved.m_bStartMinimized != 0);
    Check(m_hWnd, IDC_HOST_AUTORUN, m_autoRun);
}

bool CHostWindow::ReadControls(CAppSettings& settings, bool& autoRun, std::wstring& problem) {
    std::optional<std::string> executable = AnsiFromWide(DlgItemTextW(m_hWnd, IDC_HOST_EXE));
    if (!executable) {
        problem = L"The game's path holds characters that the game cannot be given in this system's "
                  L"language for non-Unicode programs. Move the game to a folder with plain names.";
        return false;
    }
    settings.m_strExecutableFile = *executable;
    for (int i = 0; i < 4; ++i) settings.m_strKeys[i] = DlgItemTextA(m_hWnd, kKeyCombos[i]);
    settings.m_bAutoIme = Checked(m_hWnd, IDC_HOST_AUTO_IME) ? 1 : 0;
    settings.m_strSelectedIme = DlgItemTextA(m_hWnd, IDC_HOST_IME);
    settings.m_bRememberHistory = Checked(m_hWnd, IDC_HOST_REMEMBER) ? 1 : 0;
    std::optional<std::uint32_t> maxItems = ParseMaxHistoryItems(DlgItemTextA(m_hWnd, IDC_HOST_MAX_HISTORY));
    if (!maxItems) {
        problem = L"Max history items must be a number from 1 to 32.";
        return false;
    }
    settings.m_nMaxHistoryItems = *maxItems;
    settings.m_bMinimizeToTray = Checked(m_hWnd, IDC_HOST_TRAY) ? 1 : 0;
    settings.m_bStartMinimized = Checked(m_hWnd, IDC_HOST_START_MIN) ? 1 : 0;
    autoRun = Checked(m_hWnd, IDC_HOST_AUTORUN);
    problem = WideFromAnsi(CheckSettings(settings));
    return problem.empty();
}

bool CHostWindow::Save() {
    CAppSettings settings = m_saved;
    bool autoRun = m_autoRun;
    std::wstring problem;
    if (!ReadControls(settings, autoRun, problem)) {
        HostLog("refused " + Utf8FromWide(problem));
        Tell(problem + L"\r\n\r\nNothing was saved.", MB_ICONWARNING);
        return false;
    }
    RegistryProfileStore profile(kRegistryMaker, kRegistryProfile);
    bool saved = SaveSettings(profile, settings);
    std::wstring autoRunProblem;
    if (autoRun != m_autoRun && WriteAutoRun(autoRun, autoRunProblem)) m_autoRun = autoRun;

    // The module compares every key event with these codes: a new key works at once.
    if (HotKeyCodes(settings) != HotKeyCodes(m_saved)) m_hook.SetHotKeys(HotKeyCodes(settings));
    m_saved = settings;
    ApplyTray();
    UpdateStatus();
    if (!saved || !autoRunProblem.empty()) {
        HostLog("save-failed");
        Tell((saved ? L"" : L"The settings could not all be saved in the registry.\r\n") + autoRunProblem,
             MB_ICONERROR);
        return false;
    }
    HostLog("saved");
    return true;
}

void CHostWindow::OnOK() { Save(); }

void CHostWindow::Exit() {
    // The hook goes first: taking the window and the tray icon down can take a while,
    // and the hot keys must stop opening the box as soon as the player quits.
    m_hook.Uninstall();
    DestroyWindow();
}

void CHostWindow::PostNcDestroy() noexcept { ::PostQuitMessage(0); }

void CHostWindow::OnCancel() { MinimizeAway(); }

void CHostWindow::OnBrowse() {
    wchar_t path[MAX_PATH * 4] = {};
    std::wstring current = DlgItemTextW(m_hWnd, IDC_HOST_EXE);
    if (current.size() < std::size(path)) current.copy(path, current.size());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = L"Game (hl.exe, cstrike.exe, czero.exe)\0hl.exe;cstrike.exe;czero.exe\0"
                         L"Programs (*.exe)\0*.exe\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(std::size(path));
    dialog.lpstrTitle = L"Choose the game executable";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (::GetOpenFileNameW(&dialog)) ::SetDlgItemTextW(m_hWnd, IDC_HOST_EXE, path);
}

void CHostWindow::OnSetUpGame() {
    // Saved first: the bind must name the key the module presses.
    if (!Save()) return;
    GameSetupResult result = SetUpGame(m_saved);
    HostLog(result.ok ? "setup-game ok" : "setup-game failed");
    Tell(result.report, result.ok ? MB_ICONINFORMATION : MB_ICONERROR);
}

void CHostWindow::MinimizeAway() {
    if (m_saved.m_bMinimizeToTray && m_tray.Shown()) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    } else {
        ::ShowWindow(m_hWnd, SW_MINIMIZE);
    }
}

void CHostWindow::ApplyTray() {
    if (m_saved.m_bMinimizeToTray) {
        if (!m_tray.Show(m_hWnd, m_icon, L"Parlix")) HostLog("tray-failed");
    } else {
        m_tray.Remove();
        // Nothing would bring a window hidden in the tray back.
        if (!::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWMINNOACTIVE);
    }
}

void CHostWindow::UpdateStatus() {
    ::SetDlgItemTextW(m_hWnd, IDC_HOST_STATUS, StatusText(m_hook, m_saved).c_str());
}

void CHostWindow::OnTrayNotify(LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        BringUp();
        break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        ShowTrayMenu();
        break;
    default:
        break;
    }
}

void CHostWindow::ShowTrayMenu() {
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    ::AppendMenuW(menu, MF_STRING, IDM_TRAY_SHOW, L"&Settings...");
    ::AppendMenuW(menu, MF_STRING, IDM_TRAY_SETUP_GAME, L"Set up &game");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_TRAY_EXIT, L"E&xit");
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(m_hWnd);
    UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (command == IDM_TRAY_SHOW) BringUp();
    if (command == IDM_TRAY_SETUP_GAME) OnSetUpGame();
    if (command == IDM_TRAY_EXIT) Exit();
}

void CHostWindow::OnEndSession() {
    // Windows ends the process after this message without running our exit path.
    m_hook.Uninstall();
    m_tray.Remove();
    HostLog("end-session");
}

int CHostWindow::Tell(const std::wstring& text, UINT icon) const noexcept {
    return ::MessageBoxW(m_hWnd, text.c_str(), kTitle, MB_OK | icon);
}

LRESULT CHostWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case IDC_HOST_BROWSE:
                OnBrowse();
                return 0;
            case IDC_HOST_SETUP_GAME:
                OnSetUpGame();
                return 0;
            case IDC_HOST_EXIT:
                Exit();
                return 0;
            default:
                break;
            }
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE && m_saved.m_bMinimizeToTray && m_tray.Shown()) {
            ::ShowWindow(m_hWnd, SW_HIDE);
            return 0;
        }
        break;
    case WM_CLOSE:
        Exit();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) OnEndSession();
        return 0;
    case WM_DESTROY:
        m_tray.Remove();
        break;
    case TrayIcon::kCallbackMessage:
        OnTrayNotify(lParam);
        return 0;
    default:
        if (message == m_showRequest && m_showRequest != 0) {
            BringUp();
            return 0;
        }
        if (message == m_taskbarCreated && m_taskbarCreated != 0) {
            m_tray.Remove();
            ApplyTray();
            return 0;
        }
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}
