#pragma once

#include <QString>

class QFileDialog;

namespace parcelo::ui {

// Runs a file dialog the way this program shows them: Qt's own (so its
// texts are translated), blocking the whole application. Returns the first
// chosen path with the platform's separators, or the empty text on cancel.
QString RunFileDialog(QFileDialog& dialog);

}  // namespace parcelo::ui
