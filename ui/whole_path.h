#pragma once

#include <QString>

class QWidget;

namespace parcelo::ui {

// Returns a box's text with the path in it kept on one line: no-break
// spaces for its spaces, and word joiners (U+2060) at each other place
// where a line could break inside the path, when
// the path is no wider than the widest line a message box over `parent`
// gives its text; else, and when the path is not in the text, the text
// as it is.
QString KeepPathWhole(const QString& text, const QString& path, const QWidget* parent);

// Returns a text without the word joiners KeepPathWhole puts in, and with
// plain spaces for no-break ones.
QString WithoutJoiners(QString text);

}  // namespace parcelo::ui
