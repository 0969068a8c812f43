#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdint>

#include "operation/progress.h"

class QProgressDialog;
class QWidget;

namespace parcelo::ui {

// Shows how far a long split or join has come: a dialog that appears once
// the work has run for half a second and keeps the window painted
// meanwhile. Its "Отмена", Esc and its close button cancel the work, as
// Cancel() and a stop signal do: the operation's callback then stops it.
// Closes when destroyed.
class ProgressDisplay {
 public:
  static constexpr int kShowAfterMs = 500;

  ProgressDisplay(QWidget* parent, QString title);
  ~ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // The callback to hand to the operation; it throws OperationCancelled
  // once the work is cancelled.
  Progress callback();

  // Asks the work to stop at its next step.
  void Cancel() { cancelled_ = true; }

  // Shows the bytes done of the total, with the speed and the time left.
  void Update(std::uint64_t done, std::uint64_t total);
  // The same, with the part being written or read out of how many (0 of 0
  // when the count is not known).
  void Update(std::uint64_t done, std::uint64_t total, int part, int parts);

 private:
  void Show();

  QWidget* parent_;
  QString title_;
  QElapsedTimer clock_;
  QProgressDialog* dialog_ = nullptr;
  bool cancelled_ = false;
};

// Returns the progress display's text, one line each: the part ("Часть 7 из
// 22", left out while parts is 0), the bytes ("120,0 из 512,0 МБ"), then,
// once a second has passed and some bytes are done, the speed and the time
// left ("85,3 МБ/с, осталось 0:12", "…, осталось около 3 мин"; no time left
// once all is done).
QString ProgressLabel(std::uint64_t bytesDone, std::uint64_t bytesTotal, int part, int parts,
                      qint64 elapsedMs);

}  // namespace parcelo::ui
