#include "io/stop_signals.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <csignal>
#include <cstdio>

// Windows has no signals to stop a program: the console's Ctrl+C and
// Ctrl+Break, and the closing of its window, come as console events on a
// thread of their own. They ask the work to stop as SIGINT and SIGTERM do
// elsewhere.

namespace parcelo {
namespace {

volatile LONG pendingSignal = 0;

BOOL WINAPI RememberConsoleEvent(DWORD event) {
  const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
  InterlockedCompareExchange(&pendingSignal, interrupt ? SIGINT : SIGTERM, 0);
  // The system ends the program once this returns from a close, log-off or
  // shut-down event (and in any case a few seconds later): the work gets
  // that time to clean up and end the program itself.
  if (!interrupt) Sleep(5000);
  return TRUE;
}

}  // namespace

void CatchStopSignals() { SetConsoleCtrlHandler(RememberConsoleEvent, TRUE); }

int StopSignal() { return static_cast<int>(pendingSignal); }

void EndByStopSignal() {
  if (pendingSignal == 0) return;
  std::fflush(nullptr);
  // The status cmd shows for a program ended by Ctrl+C.
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace parcelo
