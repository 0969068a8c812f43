// The system's entry point of the command line program: hands its
// arguments, as UTF-8, to ProgramMain.

#include <string>
#include <vector>

#include "io/console.h"

#ifdef _WIN32
#include "io/windows_wide_text.h"

// wmain takes the arguments as UTF-16 (the build links with -municode).
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(parcelo::Utf8FromWide(argv[i]));
  return parcelo::ProgramMain(arguments);
}
#else
int main(int argc, char** argv) { return parcelo::ProgramMain({argv + 1, argv + argc}); }
#endif
