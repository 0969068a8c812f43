#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include "operation/progress.h"

class QProgressDialog;
class QWidget;

namespace parcelo::ui {

// Shows how far a long split or join has come: a modal dialog, with no
// cancel button, that appears once the work has run for half a second and
// keeps the window painted meanwhile. Closes when destroyed.
class ProgressDisplay {
 public:
  static constexpr int kShowAfterMs = 500;

  ProgressDisplay(QWidget* parent, QString title);
  ~ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // The callback to hand to the operation.
  Progress callback();

 private:
  void Update(const ProgressReport& report);

  QWidget* parent_;
  QString title_;
  QElapsedTimer clock_;
  QProgressDialog* dialog_ = nullptr;
};

// Returns "12,5 из 100,0 МБ" for a byte count and a total.
QString ProgressText(std::uint64_t done, std::uint64_t total);

}  // namespace parcelo::ui
