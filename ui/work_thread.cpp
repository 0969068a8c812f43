#include "ui/work_thread.h"

#include <QThread>
#include <memory>
#include <utility>

namespace parcelo::ui {

WorkThread::WorkThread(QObject* parent) : QObject(parent) {}

WorkThread::~WorkThread() {
  if (!thread_) return;
  Cancel();
  thread_->wait();
  delete thread_;
}

void WorkThread::Start(Work work) {
  cancelled_ = false;
  thread_ = QThread::create([this, work = std::move(work)] {
    report_ = work([this](const ProgressReport& report) { ReportProgress(report); });
  });
  connect(thread_, &QThread::finished, this, &WorkThread::Finish);
  thread_->start();
}

void WorkThread::Cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }
  answered_.notify_all();
}

bool WorkThread::Ask(std::function<bool()> question) {
  // The answer has a place of its own: one given after a cancel lands there
  // unread, not in a later question's.
  auto answer = std::make_shared<std::optional<bool>>();
  QMetaObject::invokeMethod(
      this,
      [this, answer, question = std::move(question)] {
        const bool yes = !cancelled_ && question();
        {
          std::lock_guard lock(mutex_);
          *answer = yes;
        }
        answered_.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  answered_.wait(lock, [&] { return answer->has_value() || cancelled_; });
  if (cancelled_) throw OperationCancelled{};
  return **answer;
}

void WorkThread::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void WorkThread::ReportProgress(const ProgressReport& report) {
  if (cancelled_) throw OperationCancelled{};
  std::lock_guard lock(mutex_);
  latest_ = report;
  if (std::exchange(progressPosted_, true)) return;
  QMetaObject::invokeMethod(this, &WorkThread::DeliverProgress, Qt::QueuedConnection);
}

void WorkThread::DeliverProgress() {
  ProgressReport report;
  {
    std::lock_guard lock(mutex_);
    report = latest_;
    progressPosted_ = false;
  }
  emit progressed(report);
}

void WorkThread::Finish() {
  thread_->wait();
  delete std::exchange(thread_, nullptr);
  emit finished(report_);
}

}  // namespace parcelo::ui
