// The module's runtime replacements under exceptions: nested, rethrown and kept
// exceptions, on many threads at once from the first exception of each, and the
// thread's last error left as it was by the look-up of its exception record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring ProbePath() {
    wchar_t path[MAX_PATH]{};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"ParlixRuntimeProbe.dll";
}

using Probe = int (*)();

DWORD WINAPI RunProbes(void* parameter) {
    const auto probe = reinterpret_cast<Probe>(parameter);
    for (int round = 0; round < 50; ++round)
        if (const int failed = probe()) return static_cast<DWORD>(failed);
    return 0;
}

}  // namespace

TEST(RuntimeTrims, ExceptionsWorkOnEveryThreadFromItsFirst) {
    HMODULE module = ::LoadLibraryW(ProbePath().c_str());
    ASSERT_NE(module, nullptr) << "error " << ::GetLastError();
    const auto probe = reinterpret_cast<Probe>(reinterpret_cast<void*>(::GetProcAddress(module, "ProbeNestedExceptions")));
    ASSERT_NE(probe, nullptr);
    // Threads first: the first exception of the process may come on any of them
    // at once, and each thread's first one makes its record.
    std::vector<HANDLE> threads;
    for (int i = 0; i < 8; ++i) {
        HANDLE thread = ::CreateThread(nullptr, 0, &RunProbes, reinterpret_cast<void*>(probe), 0, nullptr);
        ASSERT_NE(thread, nullptr);
        threads.push_back(thread);
    }
    ASSERT_EQ(::WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 60000),
              WAIT_OBJECT_0);
    for (HANDLE thread : threads) {
        DWORD result = 0xDEAD;
        EXPECT_TRUE(::GetExitCodeThread(thread, &result));
        EXPECT_EQ(result, 0u) << "the step that failed";
        ::CloseHandle(thread);
    }
    EXPECT_EQ(probe(), 0) << "and on the thread that loaded the module";
    ::FreeLibrary(module);
}

using LastErrorProbe = DWORD (*)(DWORD);

DWORD WINAPI ProbeLastErrorOnFreshThread(void* parameter) {
    const auto probe = reinterpret_cast<LastErrorProbe>(parameter);
    // The first look-up on this thread makes its record; the second finds it.
    if (probe(ERROR_DISK_FULL) != ERROR_DISK_FULL) return 1;
    if (probe(ERROR_ACCESS_DENIED) != ERROR_ACCESS_DENIED) return 2;
    return 0;
}

TEST(RuntimeTrims, TheExceptionRecordLeavesTheLastErrorAsItWas) {
    HMODULE module = ::LoadLibraryW(ProbePath().c_str());
    ASSERT_NE(module, nullptr) << "error " << ::GetLastError();
    const auto probe = reinterpret_cast<LastErrorProbe>(
        reinterpret_cast<void*>(::GetProcAddress(module, "ProbeLastErrorThroughRecord")));
    ASSERT_NE(probe, nullptr);
    HANDLE thread = ::CreateThread(nullptr, 0, &ProbeLastErrorOnFreshThread, reinterpret_cast<void*>(probe), 0,
                                   nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(thread, 60000), WAIT_OBJECT_0);
    DWORD result = 0xDEAD;
    EXPECT_TRUE(::GetExitCodeThread(thread, &result));
    EXPECT_EQ(result, 0u) << "1: on the first look-up, 2: on a later one";
    ::CloseHandle(thread);
    ::FreeLibrary(module);
}
