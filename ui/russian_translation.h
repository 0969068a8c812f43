#pragma once

class QCoreApplication;

namespace parcelo::ui {

// Installs Qt's own Russian texts (dialog buttons, file dialogs) into the
// application, whatever the system's language. Returns false when Qt's
// translations are not installed; the program then works with Qt's English.
bool InstallRussianTranslation(QCoreApplication& application);

}  // namespace parcelo::ui
