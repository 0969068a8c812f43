#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

#include "operation/progress.h"

class QProgressDialog;
class QWidget;

namespace parcelo::ui {

// Shows how far a long split or join has come: a dialog that appears once
// the work has run for half a second, whether or not it has reported by
// then. Its "Отмена", Esc and its close button call `cancel`; the dialog
// stays until the work has stopped and this is destroyed.
class ProgressDisplay {
 public:
  static constexpr int kShowAfterMs = 500;

  ProgressDisplay(QWidget* parent, QString title, std::function<void()> cancel);
  ~ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // Shows the bytes done of the total, with the speed and the time left,
  // and the part being written or read out of how many (none while the
  // count is 0).
  void Update(const ProgressReport& report);

 private:
  void Show();
  void ShowReport();

  QWidget* parent_;
  QString title_;
  std::function<void()> cancel_;
  QElapsedTimer clock_;
  QTimer showTimer_;
  QProgressDialog* dialog_ = nullptr;
  std::optional<ProgressReport> report_;  // the latest, once there is one
};

// Returns the progress display's text, one line each: the part ("Часть 7 из
// 22", left out while parts is 0), the bytes ("120,0 из 512,0 МБ"), then,
// once a second has passed and some bytes are done, the speed and the time
// left ("85,3 МБ/с, осталось 0:12", "…, осталось около 3 мин"; no time left
// once all is done).
QString ProgressLabel(std::uint64_t bytesDone, std::uint64_t bytesTotal, int part, int parts,
                      qint64 elapsedMs);

}  // namespace parcelo::ui
