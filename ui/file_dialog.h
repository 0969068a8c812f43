#pragma once

#include <QString>

class QFileDialog;

namespace parcelo::ui {

// Runs a file dialog the way this program shows them: the desktop's own
// where it offers one, else Qt's own with every word, size and date in
// Russian; blocking the whole application. Returns the first chosen path
// with the platform's separators, or the empty text on cancel.
QString RunFileDialog(QFileDialog& dialog);

}  // namespace parcelo::ui
