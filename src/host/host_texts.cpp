#include "host/host_texts.h"

#include <array>

namespace {

struct Translation {
    HostText id;
    std::string_view english;
    std::string_view chinese;
};

// In the order of HostText (checked below); the unit tests check that both texts of
// a row take the same arguments and access keys.
constexpr Translation kTexts[] = {
    {HostText::Caption, "Parlix {1}", "Parlix {1}"},
    {HostText::GameGroup, "Game", "游戏"},
    {HostText::GameLabel, "Game executable (hl.exe, cstrike.exe or czero.exe):",
     "游戏程序（hl.exe、cstrike.exe 或 czero.exe）："},
    {HostText::Browse, "&Browse...", "浏览(&B)..."},
    {HostText::KeysGroup, "Keys", "按键"},
    {HostText::SayKeyLabel, "Say to all:", "对所有人说："},
    {HostText::TeamKeyLabel, "Say to team:", "对队友说："},
    {HostText::RconKeyLabel, "Rcon say:", "Rcon 说："},
    {HostText::SendKeyLabel, "Send key:", "发送键："},
    {HostText::SendKeyHint, "After changing the send key, use Set up game and restart the game.",
     "更改发送键后，请点击“配置游戏”，然后重新启动游戏。"},
    {HostText::ChatBoxGroup, "Chat box", "聊天框"},
    {HostText::AutoIme, "Auto &IME:", "自动输入法(&I)："},
    {HostText::NoIme, "(none)", "（无）"},
    {HostText::ImeMode, "IME m&ode in the chat box", "聊天框中打开输入法(&O)"},
    {HostText::RememberHistory, "Remember &history", "记住历史消息(&H)"},
    {HostText::MaxHistoryLabel, "Max history items (1-32):", "最多保留条数（1-32）："},
    {HostText::ProgramGroup, "Program", "程序"},
    {HostText::MinimizeToTray, "Minimize to &tray", "最小化到托盘(&T)"},
    {HostText::StartMinimized, "Start &minimized", "启动时最小化(&M)"},
    {HostText::StartAtLogon, "Start at &logon", "登录时启动(&L)"},
    {HostText::Save, "&Save", "保存(&S)"},
    {HostText::SetUpGame, "Set up &game", "配置游戏(&G)"},
    {HostText::Exit, "E&xit", "退出(&X)"},
    {HostText::BrowseTitle, "Choose the game executable", "选择游戏程序"},
    {HostText::BrowseGameFilter, "Game (hl.exe, cstrike.exe, czero.exe)", "游戏（hl.exe、cstrike.exe、czero.exe）"},
    {HostText::BrowseProgramFilter, "Programs (*.exe)", "程序（*.exe）"},
    {HostText::TraySettings, "&Settings...", "设置(&S)..."},
    {HostText::TraySetUpGame, "Set up &game", "配置游戏(&G)"},
    {HostText::TrayExit, "E&xit", "退出(&X)"},
    {HostText::StatusRunning,
     "Parlix is running. In the game, {1} opens the chat box to say to all, {2} to your team, {3} for rcon "
     "say. Enter sends the message with {4}.",
     "Parlix 正在运行。在游戏中按 {1} 打开聊天框对所有人说，按 {2} 对队友说，按 {3} 发送 rcon say。"
     "按 Enter 后，Parlix 用 {4} 键发送消息。"},
    {HostText::StatusKeysNeedChange, "Parlix is running, but the saved keys need a change: {1}",
     "Parlix 正在运行，但保存的按键需要修改：{1}"},
    {HostText::StatusNoHook,
     "The keyboard hook could not be installed, so the chat box will not open in the game. {1}",
     "无法安装键盘钩子，游戏中不会打开聊天框。{1}"},
    {HostText::StatusElevated,
     "Parlix is running with administrator rights, so its keyboard hook also acts in programs run as "
     "administrator. Unless you want that, click Exit and start Parlix from the Start menu.",
     "Parlix 正在以管理员权限运行，因此它的键盘钩子也会作用于以管理员身份运行的程序。"
     "如果不需要这样，请点击“退出”，然后从“开始”菜单启动 Parlix。"},
    {HostText::ModuleNotLoaded, "Parlix.dll could not be loaded from {1}: {2}", "无法从 {1} 加载 Parlix.dll：{2}"},
    {HostText::ModuleOtherBitness, " (the module and this program must both be 32-bit or both 64-bit)",
     "（该模块和本程序必须同为 32 位或同为 64 位）"},
    {HostText::ModuleNotParlix,
     "Parlix.dll in {1} is not a Parlix module: it lacks SetHotKeys, InstallHook or UninstallHook.",
     "{1} 中的 Parlix.dll 不是 Parlix 模块：缺少 SetHotKeys、InstallHook 或 UninstallHook。"},
    {HostText::HookRefused, "Windows refused the keyboard hook of Parlix.dll.", "Windows 拒绝了 Parlix.dll 的键盘钩子。"},
    {HostText::HookRefusedBecause, "Windows refused the keyboard hook of Parlix.dll ({1}).",
     "Windows 拒绝了 Parlix.dll 的键盘钩子（{1}）。"},
    {HostText::NothingSaved, "{1}\r\n\r\nNothing was saved.", "{1}\r\n\r\n没有保存任何设置。"},
    {HostText::SaveFailed, "The settings could not all be saved in the registry.", "部分设置未能保存到注册表。"},
    {HostText::AutoRunFailed, "Start at logon could not be changed: {1}", "无法更改“登录时启动”：{1}"},
    {HostText::MaxHistoryRange, "Max history items must be a number from 1 to 32.",
     "最多保留条数必须是 1 到 32 之间的数字。"},
    {HostText::KeyRoleSay, "say key", "“对所有人说”键"},
    {HostText::KeyRoleTeam, "say team key", "“对队友说”键"},
    {HostText::KeyRoleRcon, "rcon say key", "“Rcon 说”键"},
    {HostText::KeyRoleSend, "send key", "发送键"},
    {HostText::ChooseKey, "Choose a {1}.", "请选择{1}。"},
    {HostText::KeyNotInList, "\"{1}\" cannot be the {2}: choose one of the keys in the list.",
     "“{1}”不能用作{2}：请从列表中选择一个按键。"},
    {HostText::HotKeyIsSendKey,
     "The {1} and the send key are both \"{2}\". The send key must open no chat box, or the game never "
     "receives it and no message is said. Choose different keys.",
     "{1}和发送键都是“{2}”。发送键不能打开聊天框，否则游戏收不到它，消息也就发不出去。请选择不同的按键。"},
    {HostText::HotKeysEqual,
     "The {1} and the {2} are both \"{3}\". Each chat box needs a key of its own. Choose different keys.",
     "{1}和{2}都是“{3}”。每种聊天框都需要自己的按键。请选择不同的按键。"},
    {HostText::SetUpNoSendKey, "Choose a send key from the list first.", "请先从列表中选择发送键。"},
    {HostText::SetUpNoExecutable, "Choose the game executable (hl.exe in the game's folder) first.",
     "请先选择游戏程序（游戏文件夹中的 hl.exe）。"},
    {HostText::SetUpEmptyPath,
     "The game executable is empty. Enter it under Game, or click Browse and choose hl.exe in the game's "
     "folder; then click Set up game again.",
     "游戏程序为空。请在“游戏”下填写，或点击“浏览”选择游戏文件夹中的 hl.exe，然后再点击“配置游戏”。"},
    {HostText::FileNotRead, "{1} could not be read: {2}", "无法读取 {1}：{2}"},
    {HostText::FileNotWritten, "{1} could not be written: {2}", "无法写入 {1}：{2}"},
    {HostText::OldContentPutBack, "{1} holds its old content again.", "{1} 已恢复为原来的内容。"},
    {HostText::OldContentKept, "{1} may be incomplete; its old content is kept in {2}.",
     "{1} 可能不完整；原来的内容保存在 {2} 中。"},
    {HostText::BackupRestored, "{1} holds the content again that an unfinished earlier change kept in {2}.",
     "{1} 已恢复为之前未完成的修改保存在 {2} 中的内容。"},
    {HostText::BackupNotRestored, "The content kept in {2} could not be put back into {1}, and stays there: {3}",
     "无法将 {2} 中保存的内容恢复到 {1}，该文件保留不动：{3}"},
    {HostText::FileAlreadySetUp, "{1} was already set up.", "{1} 已经配置好了。"},
    {HostText::FileNowBinds, "{1} now binds the send key.", "{1} 已绑定发送键。"},
    {HostText::NoModFolders,
     "There is no cstrike or czero folder beside {1}. Choose the game executable in the game's own folder.",
     "{1} 旁边没有 cstrike 或 czero 文件夹。请选择游戏自己文件夹中的游戏程序。"},
    {HostText::GameSetUp, "The game is set up: {1}", "游戏已配置：{1}"},
    {HostText::GameNotSetUp, "The game could not be set up completely.", "游戏未能完全配置。"},
    {HostText::LineRemoved, "{1}: the line of Parlix was removed.", "{1}：已删除 Parlix 添加的行。"},
    {HostText::NoLineToRemove, "{1} holds no line of Parlix.", "{1} 中没有 Parlix 添加的行。"},
    {HostText::GameSetUpRemoved, "The game set-up of Parlix is removed.", "已删除 Parlix 对游戏的配置。"},
    {HostText::GameSetUpNotRemoved, "The game set-up of Parlix could not be removed completely.",
     "未能完全删除 Parlix 对游戏的配置。"},
    {HostText::UnknownOption, "Unknown option: {1}", "未知选项：{1}"},
    {HostText::LogNeedsFile, "--log needs a file name.", "--log 后面需要一个文件名。"},
    {HostText::Usage,
     "Usage: ParlixHost.exe [--minimized] [--setup-game] [--remove-game-setup] [--help]\n"
     "\n"
     "Without options, starts Parlix: installs the keyboard hook that opens the chat\n"
     "box in the game and shows the settings window (or only the tray icon when\n"
     "\"Start Minimized\" is on). Only one copy runs; starting it again brings the\n"
     "running one's window up.\n"
     "\n"
     "  --minimized          start without showing the settings window\n"
     "  --setup-game         write bind \"<send key>\" \"exec parlix.cfg\" into userconfig.cfg\n"
     "                       of the cstrike and czero folders beside the game executable\n"
     "                       named in the settings, then exit (exit code 0 on success)\n"
     "  --remove-game-setup  take those lines out of userconfig.cfg again, keeping every\n"
     "                       other byte, delete parlix.cfg there, then exit\n"
     "  --log <file>         append a line for each thing the host does to <file>\n"
     "  --help               show this text and exit\n",
     "用法：ParlixHost.exe [--minimized] [--setup-game] [--remove-game-setup] [--help]\n"
     "\n"
     "不带选项时启动 Parlix：安装在游戏中打开聊天框的键盘钩子，并显示设置窗口\n"
     "（开启“启动时最小化”时只显示托盘图标）。同时只运行一份；再次启动会把\n"
     "正在运行的那份的窗口调出来。\n"
     "\n"
     "  --minimized          启动时不显示设置窗口\n"
     "  --setup-game         在设置中的游戏程序旁边的 cstrike 和 czero 文件夹里，\n"
     "                       向 userconfig.cfg 写入 bind \"<发送键>\" \"exec parlix.cfg\"，\n"
     "                       然后退出（成功时退出码为 0）\n"
     "  --remove-game-setup  从 userconfig.cfg 中删除这些行，其余内容一字节不变，\n"
     "                       并删除那里的 parlix.cfg，然后退出\n"
     "  --log <文件>         把主程序做的每件事追加一行到 <文件>\n"
     "  --help               显示本说明并退出\n"},
};
static_assert(std::size(kTexts) == kHostTextCount, "one row for every text");

constexpr bool RowsInOrder() {
    for (int i = 0; i < kHostTextCount; ++i)
        if (static_cast<int>(kTexts[i].id) != i) return false;
    return true;
}
static_assert(RowsInOrder(), "the rows follow the order of HostText, so that Text can index them");

constexpr std::uint16_t kPrimaryChinese = 0x04;
constexpr std::uint16_t kSubChineseSimplified = 0x02;
constexpr std::uint16_t kSubChineseSingapore = 0x04;
constexpr std::uint16_t kSubNeutral = 0x00;  // 0x0004 is zh-Hans, the simplified script alone

}  // namespace

HostLanguage HostLanguageFor(std::uint16_t languageId) noexcept {
    const std::uint16_t primary = languageId & 0x3FF;
    const std::uint16_t sub = languageId >> 10;
    if (primary == kPrimaryChinese &&
        (sub == kSubChineseSimplified || sub == kSubChineseSingapore || sub == kSubNeutral))
        return HostLanguage::SimplifiedChinese;
    return HostLanguage::English;
}

std::string_view Text(HostText id, HostLanguage language) noexcept {
    const int index = static_cast<int>(id);
    if (index < 0 || index >= kHostTextCount) return {};
    const Translation& row = kTexts[index];
    return language == HostLanguage::SimplifiedChinese ? row.chinese : row.english;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> arguments) {
    std::string result;
    result.reserve(pattern.size() + 64);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9' &&
            pattern[i + 2] == '}') {
            const std::size_t argument = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (argument < arguments.size()) {
                result.append(*(arguments.begin() + argument));
                i += 2;
                continue;
            }
        }
        result.push_back(pattern[i]);
    }
    return result;
}

std::string Text(HostText id, HostLanguage language, std::initializer_list<std::string_view> arguments) {
    return FormatText(Text(id, language), arguments);
}
