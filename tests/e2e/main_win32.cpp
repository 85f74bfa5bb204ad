#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_fixture_win32.h"
#include "test_ime_install_win32.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // One check before all tests: when windows or keys do not work, every test
    // fails at once with the reason instead of waiting out its deadlines one by one.
    e2e::g_brokenReason = e2e::CheckWindowsWork();
    if (!e2e::g_brokenReason.empty()) std::printf("end-to-end tests cannot run: %s\n", e2e::g_brokenReason.c_str());
    // The test IME goes into this prefix before any game starts, so that every
    // game thread can load its layout.
    e2e::g_testImeLayout = drive::InstallTestIme(&e2e::g_testImeProblem);
    return RUN_ALL_TESTS();
}
