#pragma once

#include <QString>
#include <QStringList>

namespace parcelo::ui {

class FrmMain;

// Applies the path the program was started with, the first of the
// arguments after the program's name that is not an option: a folder that
// holds a part set, or a part or "Infa.inf" in such a folder, readies the
// window to join that set; any other path, existing or not, goes into the
// path box as an absolute path. Asks the user nothing.
void OpenStartPath(FrmMain& window, const QStringList& arguments);

}  // namespace parcelo::ui
