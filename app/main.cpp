// parcelo: opens the main window and ends when it is closed. SIGINT,
// SIGTERM and SIGHUP cancel running work (its temporaries are removed),
// close the window, and end the program as the signal would.

#include <QApplication>
#include <QTimer>

#include "io/stop_signals.h"
#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/russian_translation.h"

int main(int argc, char** argv) {
  parcelo::CatchStopSignals();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Parcelo"));
  parcelo::ui::InstallRussianTranslation(application);
  parcelo::ui::QtDialogs dialogs;
  parcelo::ui::FrmMain window(dialogs);
  window.show();
  QTimer stopWatch;
  QObject::connect(&stopWatch, &QTimer::timeout, [&window] {
    if (parcelo::StopSignal() != 0) window.close();
  });
  stopWatch.start(200);
  const int status = QApplication::exec();
  parcelo::EndByStopSignal();
  return status;
}
