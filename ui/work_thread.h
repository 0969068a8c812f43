#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

#include "operation/progress.h"
#include "operation/report.h"

class QThread;

namespace parcelo::ui {

// Runs one split or join at a time on a thread of its own, so that the
// window's thread stays free to paint and to hear a cancel. The work gets a
// progress callback that stops it once Cancel() was called; its progress,
// its questions and its end come back to the thread that owns this object.
// Destroying it cancels running work and waits for its thread to end.
class WorkThread : public QObject {
  Q_OBJECT

 public:
  // The work: given the progress to hand to the operation, returns its report.
  using Work = std::function<Report(const Progress&)>;

  explicit WorkThread(QObject* parent = nullptr);
  ~WorkThread() override;

  // Whether work runs: from Start() until finished() is emitted.
  bool IsRunning() const { return thread_ != nullptr; }

  // Starts `work` on a new thread. One work at a time: call it only while
  // none runs.
  void Start(Work work);

  // Asks the work to stop at its next progress report, or at once while it
  // waits for an answer from Ask(). Safe from any thread.
  void Cancel();

  // From the work's thread: runs `question` on the owner's thread while the
  // work waits, and returns its answer. Throws OperationCancelled once the
  // work is cancelled, answered or not; a question still to come is then
  // not asked.
  bool Ask(std::function<bool()> question);

  // From the work's thread: runs `call` later on the owner's thread,
  // without waiting for it.
  void Post(std::function<void()> call);

 signals:
  // How far the work has come. While one report waits to be delivered,
  // later ones only replace it: a fast work does not flood the window.
  void progressed(const parcelo::ProgressReport& report);
  // The work has ended and its thread is gone.
  void finished(const parcelo::Report& report);

 private:
  void ReportProgress(const ProgressReport& report);
  void DeliverProgress();
  void Finish();

  QThread* thread_ = nullptr;
  parcelo::Report report_;  // written by the work's thread before it ends
  std::atomic<bool> cancelled_ = false;
  std::mutex mutex_;  // guards what follows
  std::condition_variable answered_;
  std::optional<bool> answer_;
  ProgressReport latest_;
  bool progressPosted_ = false;
};

}  // namespace parcelo::ui
