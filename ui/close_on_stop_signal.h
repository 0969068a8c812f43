#pragma once

class QWidget;

namespace parcelo::ui {

// Closes `window` once a stop signal has come (io/stop_signals.h), looking
// every 200 ms: the window cancels running work and closes once it has
// cleaned up. Call after CatchStopSignals().
void CloseOnStopSignal(QWidget& window);

}  // namespace parcelo::ui
