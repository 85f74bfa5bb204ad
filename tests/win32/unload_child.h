// The child side of the module unload tests: this program, copied as HL.exe and
// started with the switch below, plays the game for one case.
#pragma once

inline constexpr const char* kUnloadChildSwitch = "--unload-child";

// Runs the case named by argv[2] and writes its facts to argv[4]; the exit code is 0
// when the case ran to its end.
int RunUnloadChild(int argc, char** argv);
