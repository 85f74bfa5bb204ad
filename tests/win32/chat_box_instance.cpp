// The test program's chat box object, as the module defines its own.
#include "chatbox/dlg_say_win32.h"

CDlgSay theChatBox;
