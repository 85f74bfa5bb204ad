#include "host_window_win32.h"

#include <commdlg.h>

#include <iterator>
#include <vector>

#include "framework/unique_handle_win32.h"
#include "game_setup_win32.h"
#include "host/host_settings.h"
#include "parlix_version.h"
#include "host_log_win32.h"
#include "host_resource.h"
#include "host_text_win32.h"
#include "settings/key_names.h"
#include "settings/layout_catalog.h"
#include "settings/layout_source_win32.h"
#include "app/hook_app_win32.h"
#include "settings/registry_profile_store_win32.h"
#include "settings/run_value.h"
#include "settings/run_value_win32.h"

namespace {

constexpr const wchar_t* kTitle = L"Parlix";
constexpr int kKeyCombos[4] = {IDC_HOST_SAY_KEY, IDC_HOST_TEAM_KEY, IDC_HOST_RCON_KEY, IDC_HOST_SEND_KEY};

// The texts of the window's controls, set in the user's language when it opens.
constexpr struct {
    int control;
    HostText text;
} kControlTexts[] = {
    {IDC_HOST_GAME_GROUP, HostText::GameGroup},
    {IDC_HOST_GAME_LABEL, HostText::GameLabel},
    {IDC_HOST_BROWSE, HostText::Browse},
    {IDC_HOST_KEYS_GROUP, HostText::KeysGroup},
    {IDC_HOST_SAY_LABEL, HostText::SayKeyLabel},
    {IDC_HOST_TEAM_LABEL, HostText::TeamKeyLabel},
    {IDC_HOST_RCON_LABEL, HostText::RconKeyLabel},
    {IDC_HOST_SEND_LABEL, HostText::SendKeyLabel},
    {IDC_HOST_SEND_HINT, HostText::SendKeyHint},
    {IDC_HOST_CHAT_GROUP, HostText::ChatBoxGroup},
    {IDC_HOST_AUTO_IME, HostText::AutoIme},
    {IDC_HOST_IME_MODE, HostText::ImeMode},
    {IDC_HOST_REMEMBER, HostText::RememberHistory},
    {IDC_HOST_MAX_HISTORY_LABEL, HostText::MaxHistoryLabel},
    {IDC_HOST_PROGRAM_GROUP, HostText::ProgramGroup},
    {IDC_HOST_TRAY, HostText::MinimizeToTray},
    {IDC_HOST_START_MIN, HostText::StartMinimized},
    {IDC_HOST_AUTORUN, HostText::StartAtLogon},
    {IDOK, HostText::Save},
    {IDC_HOST_SETUP_GAME, HostText::SetUpGame},
    {IDC_HOST_EXIT, HostText::Exit},
};

// The first item of the IME list: no IME, saved as an empty "Selected IME".
constexpr LRESULT kNoImeItem = 0;

// The value "Parlix" of the user's Run key: this program's full path in quotes;
// no value at all when switched off.
bool WriteAutoRun(bool on, std::wstring& problem) {
    UniqueHkey run;
    LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_SET_VALUE, nullptr, run.put(), nullptr);
    if (status == ERROR_SUCCESS) {
        if (on) {
            const std::wstring command = RunCommandFor(HostExecutablePath());
            status = ::RegSetValueExW(run.get(), kRunValueName, 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(command.c_str()),
                                      static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        } else {
            status = ::RegDeleteValueW(run.get(), kRunValueName);
            if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
        }
    }
    if (status != ERROR_SUCCESS) problem = UiText(HostText::AutoRunFailed, {Utf8FromWide(SystemErrorText(status))});
    return status == ERROR_SUCCESS;
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

// The settings keep UTF-8, read from the control as it is: no code page between.
std::string DlgItemTextUtf8(HWND dialog, int id) { return Utf8FromWide(DlgItemTextW(dialog, id)); }

// Selects the item of that text (letter case aside), or nothing when it is missing.
void SelectComboText(HWND combo, const std::string& text) {
    LRESULT index = text.empty() ? CB_ERR
                                 : ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : static_cast<WPARAM>(index), 0);
}

bool Checked(HWND dialog, int id) { return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Check(HWND dialog, int id, bool on) { ::CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// An elevated token: started by an installer or "Run as administrator", or an
// administrator without UAC. The hook then reaches elevated programs too.
bool RunsElevated() noexcept {
    UniqueHandle<HANDLE, CloseKernelHandle> token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return false;
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

std::wstring StatusText(const HookModule& hook, const CAppSettings& settings, bool elevated) {
    if (!hook.Installed()) return UiText(HostText::StatusNoHook, {Utf8FromWide(hook.Problem())});
    // Keys saved by hand or by an older version may be ones the module misreads.
    if (std::string problem = CheckKeyChoice(settings.m_strKeys, UserLanguage()); !problem.empty())
        return UiText(HostText::StatusKeysNeedChange, {problem});
    // The player should know; the keys stay in view in the window's lists.
    if (elevated) return UiText(HostText::StatusElevated);
    // Key names are ASCII names of the key table.
    return UiText(HostText::StatusRunning,
                  {settings.m_strKeys[0], settings.m_strKeys[1], settings.m_strKeys[2], settings.m_strKeys[3]});
}

}  // namespace

bool ReadHostAutoRun() noexcept {
    const std::wstring program = ReadRunProgram();
    // Outside any loader lock, the host can afford to look: a value naming a program
    // that is gone does not start anything at logon.
    const DWORD attributes = program.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(program.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

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
    m_elevated = RunsElevated();
    if (m_elevated) HostLog("elevated");
    if (!Create(nullptr)) return false;
    // An elevated window drops the messages of programs with fewer rights; a
    // second start, with the player's own rights, must still bring it up.
    ::ChangeWindowMessageFilterEx(m_hWnd, m_showRequest, MSGFLT_ALLOW, nullptr);
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
        if (!m_hook.Installed()) Tell(StatusText(m_hook, m_saved, m_elevated), MB_ICONERROR);
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
    ::SetWindowTextW(m_hWnd, UiText(HostText::Caption, {PARLIX_VERSION_TEXT}).c_str());
    for (const auto& item : kControlTexts) ::SetDlgItemTextW(m_hWnd, item.control, UiText(item.text).c_str());
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
    ::SetDlgItemTextW(m_hWnd, IDC_HOST_EXE, WideFromUtf8(m_saved.m_strExecutableFile).c_str());
    for (int i = 0; i < 4; ++i) SelectComboText(::GetDlgItem(m_hWnd, kKeyCombos[i]), m_saved.m_strKeys[i]);

    HWND imeCombo = ::GetDlgItem(m_hWnd, IDC_HOST_IME);
    ::SendMessageW(imeCombo, CB_RESETCONTENT, 0, 0);
    ::SendMessageW(imeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(UiText(HostText::NoIme).c_str()));
    SystemLayoutSource layouts;
    CLayoutCatalog catalog(layouts);
    // IMM IMEs, then text services, as the catalogue lists them. A description
    // shown already is not shown twice: the box would take the first anyway.
    for (const LayoutEntry& entry : catalog.Entries()) {
        const auto text = reinterpret_cast<LPARAM>(entry.description.c_str());
        if (::SendMessageW(imeCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text) == CB_ERR)
            ::SendMessageW(imeCombo, CB_ADDSTRING, 0, text);
    }
    // An IME chosen earlier and not installed now stays choosable, so saving other
    // settings does not silently drop it.
    const std::wstring selectedIme = WideFromUtf8(m_saved.m_strSelectedIme);
    if (!selectedIme.empty() &&
        ::SendMessageW(imeCombo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(selectedIme.c_str())) == CB_ERR)
        ::SendMessageW(imeCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(selectedIme.c_str()));
    if (selectedIme.empty()) {
        ::SendMessageW(imeCombo, CB_SETCURSEL, kNoImeItem, 0);
    } else {
        SelectComboText(imeCombo, m_saved.m_strSelectedIme);
    }

    Check(m_hWnd, IDC_HOST_AUTO_IME, m_saved.m_bAutoIme != 0);
    Check(m_hWnd, IDC_HOST_IME_MODE, m_saved.m_bImeMode != 0);
    Check(m_hWnd, IDC_HOST_REMEMBER, m_saved.m_bRememberHistory != 0);
    ::SetDlgItemInt(m_hWnd, IDC_HOST_MAX_HISTORY, m_saved.m_nMaxHistoryItems, FALSE);
    Check(m_hWnd, IDC_HOST_TRAY, m_saved.m_bMinimizeToTray != 0);
    Check(m_hWnd, IDC_HOST_START_MIN, m_saved.m_bStartMinimized != 0);
    Check(m_hWnd, IDC_HOST_AUTORUN, m_autoRun);
}

bool CHostWindow::ReadControls(CAppSettings& settings, bool& autoRun, std::wstring& problem) {
    // Exactly as chosen: the module opens the command file by its UTF-16 path, so a
    // folder of any name works and no look-alike of a character is ever saved.
    settings.m_strExecutableFile = DlgItemTextUtf8(m_hWnd, IDC_HOST_EXE);
    for (int i = 0; i < 4; ++i) settings.m_strKeys[i] = DlgItemTextUtf8(m_hWnd, kKeyCombos[i]);
    settings.m_bAutoIme = Checked(m_hWnd, IDC_HOST_AUTO_IME) ? 1 : 0;
    const bool noIme = ::SendDlgItemMessageW(m_hWnd, IDC_HOST_IME, CB_GETCURSEL, 0, 0) == kNoImeItem;
    settings.m_strSelectedIme = noIme ? std::string() : DlgItemTextUtf8(m_hWnd, IDC_HOST_IME);
    settings.m_bImeMode = Checked(m_hWnd, IDC_HOST_IME_MODE) ? 1 : 0;
    settings.m_bRememberHistory = Checked(m_hWnd, IDC_HOST_REMEMBER) ? 1 : 0;
    std::optional<std::uint32_t> maxItems = ParseMaxHistoryItems(DlgItemTextUtf8(m_hWnd, IDC_HOST_MAX_HISTORY));
    if (!maxItems) {
        problem = UiText(HostText::MaxHistoryRange);
        return false;
    }
    settings.m_nMaxHistoryItems = *maxItems;
    settings.m_bMinimizeToTray = Checked(m_hWnd, IDC_HOST_TRAY) ? 1 : 0;
    settings.m_bStartMinimized = Checked(m_hWnd, IDC_HOST_START_MIN) ? 1 : 0;
    autoRun = Checked(m_hWnd, IDC_HOST_AUTORUN);
    problem = WideFromUtf8(CheckSettings(settings, UserLanguage()));
    return problem.empty();
}

bool CHostWindow::Save() {
    CAppSettings settings = m_saved;
    bool autoRun = m_autoRun;
    std::wstring problem;
    if (!ReadControls(settings, autoRun, problem)) {
        HostLog("refused " + Utf8FromWide(problem));
        Tell(UiText(HostText::NothingSaved, {Utf8FromWide(problem)}), MB_ICONWARNING);
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
        Tell((saved ? L"" : UiText(HostText::SaveFailed) + L"\r\n") + autoRunProblem, MB_ICONERROR);
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
    // Pairs of name and pattern, each ended by a NUL, and one more NUL at the end.
    std::wstring filter = UiText(HostText::BrowseGameFilter);
    filter += L'\0';
    filter += L"hl.exe;cstrike.exe;czero.exe";
    filter += L'\0';
    filter += UiText(HostText::BrowseProgramFilter);
    filter += L'\0';
    filter += L"*.exe";
    filter += L'\0';
    const std::wstring title = UiText(HostText::BrowseTitle);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(std::size(path));
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (::GetOpenFileNameW(&dialog)) ::SetDlgItemTextW(m_hWnd, IDC_HOST_EXE, path);
}

void CHostWindow::OnSetUpGame() {
    // An empty path would be saved and then set nothing up: say what to do instead.
    const std::wstring executable = DlgItemTextW(m_hWnd, IDC_HOST_EXE);
    if (executable.find_first_not_of(L" \t") == std::wstring::npos) {
        HostLog("setup-game empty-path");
        Tell(UiText(HostText::SetUpEmptyPath), MB_ICONWARNING);
        return;
    }
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
    ::SetDlgItemTextW(m_hWnd, IDC_HOST_STATUS, StatusText(m_hook, m_saved, m_elevated).c_str());
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
    ::AppendMenuW(menu, MF_STRING, IDM_TRAY_SHOW, UiText(HostText::TraySettings).c_str());
    ::AppendMenuW(menu, MF_STRING, IDM_TRAY_SETUP_GAME, UiText(HostText::TraySetUpGame).c_str());
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_TRAY_EXIT, UiText(HostText::TrayExit).c_str());
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
