#include "ui/progress_display.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "io/stop_signals.h"
#include "ui/caption_width.h"
#include "ui/russian_numbers.h"
#include "ui/window_texts.h"

namespace parcelo::ui {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// A progress dialog that stays until the work is over: "Отмена", Esc and
// its close button ask the work to stop, and the work's end closes it.
class CancellingProgressDialog : public QProgressDialog {
 public:
  CancellingProgressDialog(QWidget* parent, bool& cancelled)
      : QProgressDialog(parent), cancelled_(cancelled) {
    // "Отмена" and Esc signal canceled(), which would hide the dialog at
    // once; it stays, showing how far the work is, until the work has
    // cleaned up.
    disconnect(this, &QProgressDialog::canceled, this, &QProgressDialog::cancel);
    connect(this, &QProgressDialog::canceled, this, [this] { cancelled_ = true; });
  }
  void reject() override { cancelled_ = true; }

 protected:
  void closeEvent(QCloseEvent* event) override {
    cancelled_ = true;
    event->ignore();
  }

 private:
  bool& cancelled_;
};

QString MiBText(std::uint64_t bytes) {
  return OneDecimal(static_cast<double>(bytes) / static_cast<double>(kMiB));
}

// "осталось 0:12" under a minute; rounder figures beyond, where an estimate
// drifts more than the seconds would tell.
QString TimeLeftText(double seconds) {
  const qint64 whole = static_cast<qint64>(std::ceil(seconds));
  if (whole < 60) {
    return QString::fromUtf8(text::kSecondsLeft).arg(whole, 2, 10, QLatin1Char('0'));
  }
  const qint64 minutes = std::llround(seconds / 60);
  if (minutes < 60) return QString::fromUtf8(text::kMinutesLeft).arg(minutes);
  if (minutes % 60 == 0) return QString::fromUtf8(text::kHoursLeft).arg(minutes / 60);
  return QString::fromUtf8(text::kHoursAndMinutesLeft).arg(minutes / 60).arg(minutes % 60);
}

}  // namespace

QString ProgressLabel(std::uint64_t bytesDone, std::uint64_t bytesTotal, int part, int parts,
                      qint64 elapsedMs) {
  QStringList lines;
  if (parts > 0) lines << QString::fromUtf8(text::kPartOfParts).arg(part).arg(parts);
  lines << QString::fromUtf8(text::kMegabytesOfTotal).arg(MiBText(bytesDone), MiBText(bytesTotal));
  if (elapsedMs >= 1000 && bytesDone > 0) {
    const double seconds = static_cast<double>(elapsedMs) / 1000.0;
    const double bytesPerSecond = static_cast<double>(bytesDone) / seconds;
    QString speed = QString::fromUtf8(text::kMegabytesPerSecond)
                        .arg(OneDecimal(bytesPerSecond / static_cast<double>(kMiB)));
    if (bytesDone < bytesTotal) {
      speed += QStringLiteral(", ") +
               TimeLeftText(static_cast<double>(bytesTotal - bytesDone) / bytesPerSecond);
    }
    lines << speed;
  }
  return lines.join(QLatin1Char('\n'));
}

ProgressDisplay::ProgressDisplay(QWidget* parent, QString title)
    : parent_(parent), title_(std::move(title)) {
  clock_.start();
}

ProgressDisplay::~ProgressDisplay() { delete dialog_; }

Progress ProgressDisplay::callback() {
  return [this](const ProgressReport& report) {
    Update(report.bytesDone, report.bytesTotal, static_cast<int>(report.part),
           static_cast<int>(report.parts));
    if (cancelled_ || StopSignal() != 0) throw OperationCancelled{};
  };
}

void ProgressDisplay::Update(std::uint64_t done, std::uint64_t total) { Update(done, total, 0, 0); }

void ProgressDisplay::Update(std::uint64_t done, std::uint64_t total, int part, int parts) {
  if (!dialog_) {
    if (clock_.elapsed() < kShowAfterMs) return;
    Show();
  }
  const int permille = total ? static_cast<int>(done * 1000 / total) : 1000;
  dialog_->setLabelText(ProgressLabel(done, total, part, parts, clock_.elapsed()));
  dialog_->setValue(std::min(permille, 1000));
  QCoreApplication::processEvents();
}

void ProgressDisplay::Show() {
  dialog_ = new CancellingProgressDialog(parent_, cancelled_);
  dialog_->setWindowTitle(title_);
  dialog_->setCancelButtonText(QString::fromUtf8(text::kCancelButton));
  // Not modal: the main window must still hear a request to close, which
  // cancels the work too; its controls are disabled meanwhile.
  dialog_->setWindowModality(Qt::NonModal);
  dialog_->setMinimumDuration(0);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setRange(0, 1000);
  // Wide enough for the whole title and for a label with large figures, so
  // that neither is cut and the dialog keeps its width as the figures change.
  dialog_->setLabelText(ProgressLabel(9999 * kMiB, 99999 * kMiB, 999, 999, 1000));
  dialog_->setMinimumWidth(std::max(dialog_->sizeHint().width(), WidthForCaption(title_)));
  dialog_->show();
}

}  // namespace parcelo::ui
