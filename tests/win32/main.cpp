#include <windows.h>

#include <gtest/gtest.h>

#include "framework/win_app_win32.h"
#include "test_arguments.h"
#include "unload_child.h"

std::vector<std::string> g_runtimeArguments;

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == kUnloadChildSwitch) return RunUnloadChild(argc, argv);
    // The runtime's own split, kept before the test framework takes its flags out.
    g_runtimeArguments.assign(argv, argv + argc);
    // The dialog template and the strings are linked into this program.
    AfxSetResourceHandle(::GetModuleHandleA(nullptr));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
