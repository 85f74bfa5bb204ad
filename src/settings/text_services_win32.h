// The TSF text services (input methods that share a plain keyboard layout rather
// than have an IME layout of their own): listed for the layout catalogue, and
// switched to in the chat box's thread. COM and TSF are loaded at run time; where
// the platform has neither, nothing is listed and nothing is switched.
#pragma once

#include <windows.h>
#include <msctf.h>

#include "framework/unique_handle_win32.h"
#include "settings/layout_catalog.h"

inline void ReleaseComObject(IUnknown* object) noexcept { object->Release(); }
template <class Interface>
using UniqueCom = UniqueHandle<Interface*, ReleaseComObject>;
inline void UnloadLibrary(HMODULE module) noexcept { ::FreeLibrary(module); }
using UniqueModule = UniqueHandle<HMODULE, UnloadLibrary>;

// A procedure of a module loaded at run time; null without the module or it.
// One call of GetProcAddress for every user: each call site of an import is an
// address the loader relocates.
void* ProcedureAddress(HMODULE module, const char* name) noexcept;
// LoadLibraryA through one call site, for the same reason. Names go without
// ".dll", which the loader adds to a name without an extension.
HMODULE LoadModule(const char* name) noexcept;
template <class Fn>
Fn Procedure(HMODULE module, const char* name) noexcept {
    return reinterpret_cast<Fn>(ProcedureAddress(module, name));
}

// COM on the calling thread, loaded at run time, as the thread allows it: S_OK
// and S_FALSE each take one CoUninitialize; a thread of the other model keeps its
// COM as it is, and what COM it has may still work.
class ThreadCom {
public:
    ThreadCom() noexcept = default;
    ThreadCom(const ThreadCom&) = delete;
    ThreadCom& operator=(const ThreadCom&) = delete;
    ~ThreadCom() { Stop(); }

    // Once before each Stop.
    void Start() noexcept;
    // Gives back what Start took; nothing when it took nothing.
    void Stop() noexcept;
    HMODULE Ole32() const noexcept { return m_ole32.get(); }

private:
    UniqueModule m_ole32;
    bool m_uninitialize = false;
};

// GUID_TFCAT_TIP_KEYBOARD, which mingw-w64 keeps in a library of its own.
inline constexpr GUID kKeyboardCategory{0x34745C63, 0xB2F0, 0x4784, {0x8B, 0x67, 0x5E, 0x12, 0xC8, 0x70, 0x1A, 0x31}};

// Loads oleaut32 into `module` and returns its SysFreeString, which frees the
// BSTRs that TSF hands out; null where either is missing.
using FreeString = void(WINAPI*)(BSTR);
FreeString LoadFreeString(UniqueModule& module) noexcept;

// When set (by the tests), makes the input processor profiles object in place of
// the system's and asks it for `iid`.
using CreateInputProfiles = HRESULT (*)(REFIID iid, void** object) noexcept;
extern CreateInputProfiles g_createInputProfiles;

// COM on the calling thread for one use, and the profile manager made there;
// released, and COM given back, at the end.
class InputProfiles {
public:
    InputProfiles() noexcept;
    ~InputProfiles();
    InputProfiles(const InputProfiles&) = delete;
    InputProfiles& operator=(const InputProfiles&) = delete;

    // Null where the platform has no profile manager.
    ITfInputProcessorProfileMgr* Manager() const noexcept { return m_manager.get(); }

private:
    ThreadCom m_com;
    UniqueCom<ITfInputProcessorProfileMgr> m_manager;
};

// Hands the enabled keyboard text services' profiles with their own descriptions
// to the list, in the order the manager lists them.
void AddTextServiceProfiles(ITfInputProcessorProfileMgr& manager, TextServiceList& list) noexcept;
