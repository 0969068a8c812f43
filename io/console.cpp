#include "io/console.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "io/windows_wide_text.h"
#else
#include <unistd.h>
#endif

namespace parcelo {

#ifdef _WIN32
void WriteText(std::FILE* stream, std::string_view text) {
  const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::fflush(stream);  // what the stream holds goes out first
  const std::wstring wide = WideFromUtf8(text);
  DWORD written = 0;
  if (!WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)) {
    std::fwrite(text.data(), 1, text.size(), stream);
  }
}

bool IsTerminal(std::FILE* stream) {
  const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}
#else
void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) == 1; }
#endif

}  // namespace parcelo
