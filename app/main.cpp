// parcelo: opens the main window and ends when it is closed.

#include <QApplication>

#include "ui/dialogs.h"
#include "ui/frm_main.h"
#include "ui/russian_translation.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Parcelo"));
  parcelo::ui::InstallRussianTranslation(application);
  parcelo::ui::QtDialogs dialogs;
  parcelo::ui::FrmMain window(dialogs);
  window.show();
  return QApplication::exec();
}
