#include "standin_ime_win32.h"

#include <imm.h>

#include "tool_support_win32.h"

namespace standin {

std::string TakeImeOffWindow(HWND window) {
    ::ImmAssociateContext(window, nullptr);
    return "ime-context none";
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
