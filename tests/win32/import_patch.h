// Points one entry of this test program's own import table at a wrapper while the
// object lives. The code under test is linked into the program, so its calls of
// that function go through the wrapper.
#pragma once

class ImportPatch {
public:
    // `dll` as the import table names it ("KERNEL32.dll", any letter case). The
    // function the entry held is stored in `original` before the wrapper goes in,
    // so a wrapper that calls it never finds it missing.
    ImportPatch(const char* dll, const char* function, void* wrapper, void** original) noexcept;
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // False when the program does not import the function: nothing is patched.
    bool Patched() const noexcept { return m_slot != nullptr; }

private:
    void** m_slot = nullptr;
    void* m_original = nullptr;
};

// The import entry of this program for `function` of `dll`, or null when it does
// not import it: tests read back what the entry holds.
void** ImportSlot(const char* dll, const char* function) noexcept;
