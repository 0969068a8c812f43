#pragma once

#include <QString>

class QWidget;

namespace parcelo::ui {

// Returns the folder the chooser opens in: the starting folder without a
// trailing separator when it names an existing folder, otherwise the
// empty text (the chooser then opens at the top, the home folder).
QString StartingFolderToPreselect(const QString& startingFolder);

// Lets the user pick a folder in a dialog titled with the prompt, a child of
// `parent` (whose icon it shows) that blocks the whole application while
// open. Returns the chosen folder's path (the root keeps its separator,
// other folders have none at the end), or the empty text when the user
// cancels.
QString ChooseFolder(QWidget* parent, const QString& startingFolder, const QString& prompt);

}  // namespace parcelo::ui
