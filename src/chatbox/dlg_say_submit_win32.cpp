// Enter in the chat box: the message becomes the command file and a press of the
// send key, goes into the history, and the box closes.
#include <new>
#include <optional>
#include <string>

#include "chatbox/cfg_file_win32.h"
#include "chatbox/cfg_path.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/error_box_win32.h"
#include "chatbox/say_command.h"
#include "chatbox/send_key_win32.h"
#include "settings/app_settings_instance.h"
#include "settings/key_names.h"

namespace {

// The edit's text in UTF-8; nothing when there is no memory for it or a check
// failed, with the thread's last error saying which.
std::optional<std::string> ReadMessage(const CWnd& edit) noexcept {
    try {
        return edit.GetWindowText();
    } catch (const std::bad_alloc&) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    } catch (...) {
        ::SetLastError(ERROR_INTERNAL_ERROR);  // a failed check, not a shortage
        return std::nullopt;
    }
}

}  // namespace

void CDlgSay::OnOK() {
    const HWND game = GetParent();
    const std::optional<std::string> text = ReadMessage(m_editMessage);
    if (!text) {
        // The box stays open with the text, so the user can try again.
        ShowLastErrorBox(m_hWnd);
        return;
    }
    const CAppSettings& settings = GetAppSettings();

    if (!text->empty()) {
        // The text is UTF-8 already: the command is the file's content as it is.
        const std::string command = FormatSayCommand(m_mode, *text);
        // UTF-8 has no byte of a character that could pass for a backslash.
        const std::string path = BuildCfgPath(settings.m_strExecutableFile, DetectGameFolder());
        if (std::optional<FileError> error = WriteCfgFile(path, command)) {
            ShowFileErrorBox(m_hWnd, *error);
            // Whatever happened while the modal box ran, a box destroyed meanwhile
            // must not take the game's focus away with a SetFocus(null).
            if (IsWindow()) OnCancel();
            return;
        }
        PressSendKey(LookupVirtualKey(settings.m_strKeys[3]));
    }

    if (settings.m_bRememberHistory != 0) m_editMessage.AddToHistory(*text);
    RestoreLayout();
    CDialog::OnOK();
    // The send key waits in the input queue and reaches the game after this
    // returns, when the game window has the focus again.
    ::SetFocus(game);
    DestroyWindow();
}
