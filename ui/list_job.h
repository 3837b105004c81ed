// A whole list computed or checked on a thread of its own.
#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

#include "lists/list_run.h"

// A whole list computed or checked on a thread of its own, so that the
// window keeps answering while it runs. Starts when made.
class ListJob : public QObject {
  Q_OBJECT

 public:
  using Work = std::function<ListOutcome(const ListWatch& watch)>;

  explicit ListJob(Work work, QObject* parent = nullptr);
  // Cancels and waits: no thread outlives the window.
  ~ListJob() override;
  ListJob(const ListJob&) = delete;
  ListJob& operator=(const ListJob&) = delete;

  long Rows() const { return rows_.load(std::memory_order_relaxed); }
  // The list stops before its next row and leaves no output; Finished
  // follows as for any end.
  void Cancel() { cancel_ = true; }
  // Waits for the thread, quick after Cancel.
  void Wait();
  // Valid once Finished was emitted.
  const ListOutcome& Outcome() const { return outcome_; }

 signals:
  // On the thread that made the job.
  void Finished();

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<long> rows_{0};
  ListOutcome outcome_;
  std::thread thread_;
};
