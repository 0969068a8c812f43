#include "io/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace parcelo {
namespace {

volatile std::sig_atomic_t pendingSignal = 0;

extern "C" void RememberStopSignal(int signal) {
  if (pendingSignal == 0) pendingSignal = signal;
}

}  // namespace

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RememberStopSignal;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a call that waits returns EINTR, which every read and
  // write of the file layer retries after the work had a chance to stop.
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  std::signal(SIGXFSZ, SIG_IGN);
}

int StopSignal() { return pendingSignal; }

void EndByStopSignal() {
  const int signal = pendingSignal;
  if (signal == 0) return;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace parcelo
