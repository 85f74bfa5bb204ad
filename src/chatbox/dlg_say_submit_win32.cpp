// Enter in the chat box: the message, cut into parts that each fit a chat line,
// becomes the command file and a press of the send key part by part, goes into
// the history, and the box closes. A failed write of the first part keeps the box
// open with the text.
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "chatbox/cfg_file_win32.h"
#include "chatbox/cfg_path.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/error_box_win32.h"
#include "chatbox/message_parts.h"
#include "chatbox/part_sender_win32.h"
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

bool SayCommand(std::string_view command, GameFolder folder, std::uint16_t sendKey) noexcept {
    try {
        if (WriteCfgFile(BuildCfgPath(GetAppSettings().m_strExecutableFile, folder), command)) return false;
    } catch (...) {
        return false;  // no memory for the path: as a failed write
    }
    PressSendKey(sendKey);
    return true;
}

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
        // Parts wait behind earlier ones only while there is room for them; a
        // message that cannot be queued stays in the box until there is.
        if (!thePartSender.HasRoomFor(text->size())) {
            ::MessageBeep(MB_ICONEXCLAMATION);
            return;
        }
        const GameFolder folder = DetectGameFolder();
        const std::uint16_t sendKey = LookupVirtualKey(settings.m_strKeys[3]);
        // The text is UTF-8 already: each part's command is a file's content as it is.
        std::size_t start = 0;
        std::size_t end = PartEnd(*text, 0);
        if (thePartSender.MaySayNow()) {
            // UTF-8 has no byte of a character that could pass for a backslash.
            const std::string path = BuildCfgPath(settings.m_strExecutableFile, folder);
            if (std::optional<FileError> error = WriteCfgFile(path, FormatSayCommand(m_mode, {text->data(), end}))) {
                ShowFileErrorBox(m_hWnd, *error);
                // The box stays open with the text as typed: the player removes the
                // cause and presses Enter again, or Escape. Nothing was pressed or
                // recorded. The edit takes the keys again once the game is in front.
                if (IsWindow() && ::GetActiveWindow() == game) ::SetFocus(m_editMessage.m_hWnd);
                return;
            }
            PressSendKey(sendKey);
            thePartSender.SaidFromBox();
            start = end;
        }
        // The rest, or the whole message behind parts of earlier ones, goes out
        // paced by the timer once the box is gone.
        for (; start < text->size(); start = end) {
            end = PartEnd(*text, start);
            thePartSender.Add(FormatSayCommand(m_mode, {text->data() + start, end - start}), end == text->size());
        }
        thePartSender.Start(game, folder, sendKey);
    }

    if (settings.m_bRememberHistory != 0) m_editMessage.AddToHistory(*text);
    RestoreLayout();
    CDialog::OnOK();
    // The send key waits in the input queue and reaches the game after this
    // returns, when the game window has the focus again.
    ::SetFocus(game);
    DestroyWindow();
}
