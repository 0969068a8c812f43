#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace parcelo {

// Writes UTF-8 text to standard output or standard error. A Windows console
// gets it as UTF-16 (WriteConsoleW), so Russian shows right in cmd and
// PowerShell whatever their code page; files and pipes get the UTF-8 bytes,
// as on every other system.
void WriteText(std::FILE* stream, std::string_view text);

// Tells whether standard output or standard error (`stream`) is a
// terminal (a console on Windows) rather than a file or a pipe.
bool IsTerminal(std::FILE* stream);

#ifdef _WIN32
// Returns the arguments after the program's name, as UTF-8 (wmain's wide
// arguments; the narrow ones are in the ANSI code page and lose what it
// can't hold).
std::vector<std::string> ArgumentsFromWide(int argc, wchar_t** argv);
#endif

}  // namespace parcelo
