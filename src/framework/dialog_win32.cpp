#include "framework/dialog_win32.h"

#include "framework/win_app_win32.h"

void DDX_Control(CDataExchange& dx, int id, CWnd& control) noexcept {
    if (dx.m_bSaveAndValidate || control.m_hWnd != nullptr) return;
    control.SubclassWindow(dx.m_dialog.GetDlgItem(id));
}

CDialog::~CDialog() {
    // The window procedure goes back in CWnd's destructor; the dialog procedure here.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::SetWindowLongPtrW(m_hWnd, DWLP_DLGPROC, 0);
}

bool CDialog::Create(HWND parent) noexcept {
    HWND hwnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(m_templateId), parent,
                                     &DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd == nullptr) return false;
    if (m_hWnd != hwnd) {
        // Not bound (this object already had a window): a window that no object
        // answers for must not stay behind.
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

bool CDialog::UpdateData(bool saveAndValidate) noexcept {
    try {
        CDataExchange dx{*this, saveAndValidate};
        DoDataExchange(dx);
        return true;
    } catch (...) {
        return false;
    }
}

void CDialog::DoDataExchange(CDataExchange&) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        // Answered here only: the dialog manager's default would call DialogProc again.
        return OnInitDialog();
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDOK) {
                OnOK();
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                OnCancel();
                return 0;
            }
        }
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // Every message after WM_INITDIALOG reaches the object through its own window
    // procedure; the dialog manager then calls us only to ask for defaults.
    if (message != WM_INITDIALOG) return FALSE;
    auto* self = reinterpret_cast<CDialog*>(lParam);
    if (self == nullptr || !self->SubclassWindow(hwnd)) return FALSE;
    return static_cast<INT_PTR>(self->Dispatch(message, wParam, lParam));
}
