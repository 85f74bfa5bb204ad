// What the stand-in game and the test host share: the log that the tests read line
// by line, and the text helpers that fill it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Appends one line in a single write, so that a reader never sees half a line.
// A null or invalid handle writes nothing.
void AppendLogLine(HANDLE log, const std::string& line);

// "0x59" for 0x59: how the logs spell key codes and handles.
std::string HexNumber(unsigned long long value);

std::string Utf8FromWide(const std::wstring& text);

// The program's own command line, split by the system's rules; the program name first.
std::vector<std::wstring> CommandLineArguments();
