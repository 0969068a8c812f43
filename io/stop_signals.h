#pragma once

namespace parcelo {

// Turns SIGINT, SIGTERM and SIGHUP into a request to stop that the running
// work notices between chunks, so that it can clean up (remove its
// temporaries and half-made sets) before the program ends; and ignores
// SIGXFSZ, so that a file-size limit is a write error (EFBIG), not a
// silent end. Call once at the start of a program.
void CatchStopSignals();

// Returns the signal that asked the program to stop, 0 when none did.
int StopSignal();

// Ends the program as the stop signal would have ended it (the usual exit
// status for that signal); does nothing when no signal asked to stop.
void EndByStopSignal();

}  // namespace parcelo
