// parcelo: opens the main window and ends when it is closed. A file or a
// part set's folder given as the argument is opened in it.

#include <QApplication>

#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/russian_translation.h"
#include "ui/start_path.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Parcelo"));
  parcelo::ui::InstallRussianTranslation(application);
  parcelo::ui::QtDialogs dialogs;
  parcelo::ui::FrmMain window(dialogs);
  parcelo::ui::OpenStartPath(window, QApplication::arguments());
  window.show();
  return QApplication::exec();
}
