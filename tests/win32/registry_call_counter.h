// Counts the registry calls of this test program while it lives, by pointing the
// ADVAPI32 entries of the program's own import table at counting wrappers. The code
// under test is linked into this program, so its calls pass through them.
#pragma once

class RegistryCallCounter {
public:
    RegistryCallCounter();
    ~RegistryCallCounter();
    RegistryCallCounter(const RegistryCallCounter&) = delete;
    RegistryCallCounter& operator=(const RegistryCallCounter&) = delete;

    int Calls() const noexcept;
    int Patched() const noexcept { return m_patched; }  // 0: nothing would be counted

private:
    int m_patched = 0;
};
