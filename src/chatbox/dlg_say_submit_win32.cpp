// Enter in the chat box: the message becomes the command file and a press of the
// send key, goes into the history, and the box closes.
#include <string>

#include "chatbox/cfg_file_win32.h"
#include "chatbox/cfg_path.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/error_box_win32.h"
#include "chatbox/say_command.h"
#include "chatbox/send_key_win32.h"
#include "settings/app_settings.h"
#include "settings/key_names.h"

namespace {

bool IsAnsiLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

void CDlgSay::OnOK() {
    const HWND game = GetParent();
    const std::string text = m_editMessage.GetWindowText();
    const CAppSettings& settings = GetAppSettings();

    if (!text.empty()) {
        std::optional<std::string> bytes = ConvertToUtf8(FormatSayCommand(m_mode, text), CP_ACP);
        if (!bytes) {
            // The box stays open with the text, so the user can try again.
            ShowLastErrorBox(m_hWnd);
            return;
        }
        const std::string path = BuildCfgPath(settings.m_strExecutableFile, DetectGameFolder(), &IsAnsiLeadByte);
        if (std::optional<FileError> error = WriteCfgFile(path, *bytes)) {
            ShowFileErrorBox(m_hWnd, *error);
            // Whatever happened while the modal box ran, a box destroyed meanwhile
            // must not take the game's focus away with a SetFocus(null).
            if (IsWindow()) OnCancel();
            return;
        }
        PressSendKey(LookupVirtualKey(settings.m_strKeys[3]));
    }

    if (settings.m_bRememberHistory != 0) m_editMessage.AddToHistory(text);
    RestoreLayout();
    CDialog::OnOK();
    // The send key waits in the input queue and reaches the game after this
    // returns, when the game window has the focus again.
    ::SetFocus(game);
    DestroyWindow();
}
