// parcelo: opens the main window and ends when it is closed. A file or a
// part set's folder given as the argument is opened in it. "--version" only
// prints the version, and "--help" (or "-h") the usage, without a display.
// SIGINT, SIGTERM and SIGHUP cancel running work (its temporaries are
// removed), close the window, and end the program as the signal would.

#include <QApplication>
#include <cstdio>
#include <cstring>

#include "io/stop_signals.h"
#include "parcelo_version.h"
#include "ui/close_on_stop_signal.h"
#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/russian_translation.h"
#include "ui/start_path.h"

namespace {

constexpr const char* kUsage =
    "Использование: parcelo [ФАЙЛ | ДИРЕКТОРИЯ]\n"
    "Открывает окно Parcelo. ФАЙЛ встаёт в поле пути для дробления;\n"
    "директория с набором частей (Infa.inf и *.drb) готовится к слиянию.\n"
    "  -h, --help  показать эту справку\n"
    "  --version   показать версию\n"
    "Дробление и слияние без окна: parcelo-cli --help.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    return std::fputs(kUsage, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    return std::puts("parcelo " PARCELO_VERSION) >= 0 ? 0 : 1;
  }
  parcelo::CatchStopSignals();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Parcelo"));
  QApplication::setDesktopFileName(QStringLiteral("io.github.parcelo.Parcelo"));
  parcelo::ui::InstallRussianTranslation(application);
  parcelo::ui::QtDialogs dialogs;
  parcelo::ui::FrmMain window(dialogs);
  parcelo::ui::OpenStartPath(window, QApplication::arguments());
  window.show();
  parcelo::ui::CloseOnStopSignal(window);
  const int status = QApplication::exec();
  parcelo::EndByStopSignal();
  return status;
}
