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

// The command line program's own start, defined by it and called by the
// system's entry point (program_entry.cpp, built into that program alone)
// with the arguments after the program's name as UTF-8: on Windows from
// wmain's wide arguments, since the narrow ones are in the ANSI code page
// and lose what it can't hold.
int ProgramMain(const std::vector<std::string>& arguments);

}  // namespace parcelo
