// The module's per-process start and end. The runtime constructs the static
// objects before it calls DllMain at attach, and destroys them after DllMain at
// detach, so the application's InitInstance and ExitInstance run inside their life.
#include <windows.h>

#include "app/hook_app_win32.h"
#include "chatbox/dlg_say_win32.h"
#include "chatbox/frame_overlay_win32.h"
#include "hook/process_arguments_win32.h"

// The chat box object is defined here, before the application, so that it is
// constructed first and destroyed last.
CDlgSay theChatBox;
CHookApp theApp;

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    try {
        switch (reason) {
        case DLL_PROCESS_ATTACH:
            // The module's own handle, never the process's, for resources and the hook.
            AfxSetInstanceHandle(module);
            ProcessArguments();  // split now, before any hook event reads it
            // Never refuses: without its settings the module still enters with defaults.
            theApp.InitInstance();
            break;
        case DLL_PROCESS_DETACH:
            // A process that had a box keeps the module to its end (see
            // OpenChatBox), so no window of ours outlives the module; under the
            // loader's lock only memory is freed.
            AbandonFrameOverlay();
            theChatBox.AbandonAtProcessEnd();
            theApp.ExitInstance();
            break;
        default:
            break;
        }
    } catch (...) {
        // An exception must not reach the loader; the module still attaches, with
        // defaults where the settings could not be read.
    }
    return TRUE;
}
