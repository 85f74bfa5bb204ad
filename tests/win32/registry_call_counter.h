// Counts the registry calls this test program makes, by pointing the ADVAPI32
// entries of its own import table at counting wrappers for as long as the counter
// lives. The code under test is linked into this program, so its calls pass here.
#pragma once

#include <windows.h>

#include <cstring>

class RegistryCallCounter {
public:
    RegistryCallCounter();
    ~RegistryCallCounter();
    RegistryCallCounter(const RegistryCallCounter&) = delete;
    RegistryCallCounter& operator=(const RegistryCallCounter&) = delete;

    int Calls() const noexcept;
    // How many import entries were redirected; 0 means nothing is counted.
    int Patched() const noexcept { return m_patched; }

private:
    int m_patched = 0;
};
