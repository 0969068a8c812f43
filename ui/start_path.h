#pragma once

#include <QString>
#include <QStringList>

namespace parcelo::ui {

class FrmMain;

// Applies the path the program was started with, the first of the
// arguments after the program's name that is not an option: a folder that
// holds a part set readies the window to join it; any other path, existing
// or not, goes into the path box as an absolute path. Asks the user nothing.
void OpenStartPath(FrmMain& window, const QStringList& arguments);

}  // namespace parcelo::ui
