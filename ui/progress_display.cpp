#include "ui/progress_display.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>

#include "io/stop_signals.h"

namespace parcelo::ui {
namespace {

// A progress dialog that Esc or the close button can't dismiss: the work it
// shows can't be stopped, and the user should go on seeing how far it is.
class UnstoppableProgressDialog : public QProgressDialog {
 public:
  using QProgressDialog::QProgressDialog;
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace

ProgressDisplay::ProgressDisplay(QWidget* parent, QString title)
    : parent_(parent), title_(std::move(title)) {
  clock_.start();
}

ProgressDisplay::~ProgressDisplay() { delete dialog_; }

Progress ProgressDisplay::callback() {
  return [this](const ProgressReport& report) { Update(report); };
}

QString ProgressText(std::uint64_t done, std::uint64_t total) {
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  const double mib = 1024.0 * 1024.0;
  return russian.toString(static_cast<double>(done) / mib, 'f', 1) + QStringLiteral(" из ") +
         russian.toString(static_cast<double>(total) / mib, 'f', 1) + QStringLiteral(" МБ");
}

void ProgressDisplay::Update(const ProgressReport& report) {
  // A stop signal cancels the work; the program then ends.
  if (StopSignal() != 0) throw OperationCancelled{};
  const std::uint64_t done = report.bytesDone, total = report.bytesTotal;
  if (!dialog_) {
    if (clock_.elapsed() < kShowAfterMs) return;
    dialog_ = new UnstoppableProgressDialog(parent_);
    dialog_->setWindowTitle(title_);
    dialog_->setCancelButton(nullptr);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setRange(0, 1000);
    dialog_->show();
  }
  const int permille = total ? static_cast<int>(done * 1000 / total) : 1000;
  dialog_->setLabelText(ProgressText(done, total));
  dialog_->setValue(std::min(permille, 1000));
  QCoreApplication::processEvents();
}

}  // namespace parcelo::ui
