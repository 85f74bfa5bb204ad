// Modeless dialogs from a template of the module's resources. The object is bound
// at WM_INITDIALOG; from then on the window's messages go through WindowProc and
// the dialog manager's own handling is the default processing.
#pragma once

#include "framework/wnd_win32.h"

class CDialog;

// One pass of data exchange: binding controls, and reading them back when saving.
struct CDataExchange {
    CDialog& m_dialog;
    bool m_bSaveAndValidate;
};

// Binds control `id` of the dialog to `control` the first time (not when saving or
// when it is already bound), so that the control's messages reach its handlers.
void DDX_Control(CDataExchange& dx, int id, CWnd& control) noexcept;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId) noexcept : m_templateId(templateId) {}
    ~CDialog() override;

    // Creates the window from the template as a child or owned window of `parent`;
    // OnInitDialog runs inside. False when no window came out of it, and when the
    // window could not be bound to this object (it is destroyed then).
    bool Create(HWND parent) noexcept;

    // Runs DoDataExchange in the given direction.
    bool UpdateData(bool saveAndValidate) noexcept;
    // Hides a modeless dialog; would end a modal loop.
    bool EndDialog(int result) const noexcept { return ::EndDialog(m_hWnd, result) != FALSE; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
};
