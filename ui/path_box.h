#pragma once

#include <QString>

namespace parcelo::ui {

// Returns the path that a path box's text names: "~" alone or before a
// separator stands for the home folder, as in a shell, and a file://
// address (pasted from a file manager or a browser) for its local path.
// Any other text is the path as it is, blanks included.
QString PathInBox(const QString& text);

}  // namespace parcelo::ui
