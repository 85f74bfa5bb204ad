#include "test_ime_install_win32.h"

#include <cwchar>

#include "framework/unique_handle_win32.h"

namespace drive {

namespace {

constexpr wchar_t kImeFile[] = L"ParlixTestIme.ime";

std::wstring FolderOfThisProgram() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

bool SetString(HKEY key, const wchar_t* name, const wchar_t* value) {
    const DWORD bytes = static_cast<DWORD>((std::wcslen(value) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) == ERROR_SUCCESS;
}

std::wstring Fail(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return {};
}

}  // namespace

std::wstring InstallTestIme(std::string* why) {
    // The IME is a test tool: it comes from this program's own build, also when
    // the programs under test are the product's.
    const std::wstring source = FolderOfThisProgram() + kImeFile;
    wchar_t system[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Fail(why, "no system folder");
    const std::wstring target = std::wstring(system) + L"\\" + kImeFile;
    if (!::CopyFileW(source.c_str(), target.c_str(), FALSE)) {
        // A process that still has the IME loaded keeps the file; the copy there
        // is the same build unless the IME changed since.
        if (::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
            return Fail(why, "the test IME could not be copied into the system folder (error " +
                                 std::to_string(::GetLastError()) + ")");
    }
    wchar_t name[9] = {};
    const auto language = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(::GetKeyboardLayout(0)) & 0xFFFF);
    std::swprintf(name, 9, L"E020%04X", language);
    const std::wstring keyPath = std::wstring(L"System\\CurrentControlSet\\Control\\Keyboard Layouts\\") + name;
    UniqueHkey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return Fail(why, "the test IME's layout key could not be created");
    if (!SetString(key.get(), L"Ime File", kImeFile) || !SetString(key.get(), L"Layout Text", L"Parlix Test IME") ||
        !SetString(key.get(), L"Layout File", L"kbdus.dll"))
        return Fail(why, "the test IME's layout values could not be written");
    return name;
}

HKL ActivateTestIme(const std::wstring& layoutName) {
    return layoutName.empty() ? nullptr : ::LoadKeyboardLayoutW(layoutName.c_str(), KLF_ACTIVATE);
}

}  // namespace drive
