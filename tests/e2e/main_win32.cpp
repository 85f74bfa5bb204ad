#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_fixture_win32.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // One check before all tests: when windows or keys do not work, every test
    // fails at once with the reason instead of waiting out its deadlines one by one.
    e2e::g_brokenReason = e2e::CheckWindowsWork();
    if (!e2e::g_brokenReason.empty()) std::printf("end-to-end tests cannot run: %s\n", e2e::g_brokenReason.c_str());
    return RUN_ALL_TESTS();
}
