#include "ui/close_on_stop_signal.h"

#include <QTimer>
#include <QWidget>

#include "io/stop_signals.h"

namespace parcelo::ui {

void CloseOnStopSignal(QWidget& window) {
  auto* watch = new QTimer(&window);
  QObject::connect(watch, &QTimer::timeout, &window, [&window] {
    if (StopSignal() != 0) window.close();
  });
  watch->start(200);
}

}  // namespace parcelo::ui
