#pragma once

#include <QString>

#include "operation/report.h"

class QWidget;

namespace parcelo::ui {

// What the window asks of the platform besides its own controls: message
// boxes, questions, the open-file dialog and the folder chooser. The window
// takes one of these so that tests can put recording stand-ins in its place.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a modal box with the message's title, text and icon, and one OK button.
  virtual void ShowMessage(QWidget* parent, const Message& message) = 0;

  // Asks the message's question in a modal box with a question icon and
  // the buttons "Да" and "Нет" (the default, also taken by Esc and the
  // close button); returns whether "Да" was chosen.
  virtual bool Ask(QWidget* parent, const Message& question) = 0;

  // Shows the open-file dialog, in the starting folder where that is an
  // existing folder; returns the chosen file's path, or the empty text
  // after a cancel.
  virtual QString ShowOpen(QWidget* parent, const QString& startingFolder) = 0;

  // Lets the user pick a folder; returns its path, or the empty text.
  virtual QString ChooseFolder(QWidget* parent, const QString& startingFolder,
                               const QString& prompt) = 0;
};

// The real dialogs, on Qt Widgets.
class QtDialogs : public Dialogs {
 public:
  void ShowMessage(QWidget* parent, const Message& message) override;
  bool Ask(QWidget* parent, const Message& question) override;
  QString ShowOpen(QWidget* parent, const QString& startingFolder) override;
  QString ChooseFolder(QWidget* parent, const QString& startingFolder,
                       const QString& prompt) override;
};

}  // namespace parcelo::ui
