#pragma once

class QCoreApplication;

namespace parcelo::ui {

// Puts Qt's own texts (dialog buttons, file dialogs) and its numbers and
// dates in Russian, whatever the system's language: installs Qt's Russian
// catalogue, then the words it lacks, and makes Russian the default locale.
// Returns false when Qt's catalogue is not installed; the program then shows
// Qt's English beside its own Russian.
bool InstallRussianTranslation(QCoreApplication& application);

}  // namespace parcelo::ui
