#include "standin_ime_win32.h"

#include <imm.h>

#include "tool_support_win32.h"

namespace standin {
namespace {

HIMC g_windowContext = nullptr;  // the game window's own context, kept while it is off the window

}  // namespace

std::string TakeImeOffWindow(HWND window) {
    g_windowContext = ::ImmGetContext(window);
    ::ImmReleaseContext(window, g_windowContext);
    ::ImmAssociateContext(window, nullptr);
    return "ime-context none";
}

std::string SetTextInput(HWND window, bool on) {
    if (on) {
        ::ImmAssociateContext(window, g_windowContext);
        return "textinput on";
    }
    if (const HIMC context = ::ImmGetContext(window)) {
        ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        // SDL's UI-less mode, which its TSF set-up gives it under Wine too.
        ::ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(L""), sizeof(wchar_t),
                                   const_cast<wchar_t*>(L""), sizeof(wchar_t));
        ::ImmNotifyIME(context, NI_CLOSECANDIDATE, 0, 0);
        ::ImmReleaseContext(window, context);
    }
    ::ImmAssociateContext(window, nullptr);
    return "textinput off";
}

std::string PlayerImeOpen(WPARAM action) {
    if (action < 2) ::ImmSetOpenStatus(g_windowContext, action == 1);
    return ::ImmGetOpenStatus(g_windowContext) ? "ime-open 1" : "ime-open 0";
}

std::string ActivateImeLayout(const std::wstring& layoutName) {
    HKL layout = ::LoadKeyboardLayoutW(layoutName.c_str(), KLF_ACTIVATE);
    if (!layout) return "ime-failed " + std::to_string(::GetLastError());
    return "ime " + HexNumber(reinterpret_cast<UINT_PTR>(layout));
}

std::string ActiveLayoutLine() {
    return "layout " + HexNumber(reinterpret_cast<UINT_PTR>(::GetKeyboardLayout(0)));
}

LPARAM WithoutImeWindows(LPARAM showFlags) {
    return showFlags & ~static_cast<LPARAM>(ISC_SHOWUICOMPOSITIONWINDOW | ISC_SHOWUIALLCANDIDATEWINDOW);
}

}  // namespace standin
