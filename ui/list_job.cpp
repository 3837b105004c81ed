#include "ui/list_job.h"

#include <exception>
#include <utility>

ListJob::ListJob(Work work, QObject* parent) : QObject(parent) {
  thread_ = std::thread([this, work = std::move(work)] {
    ListWatch watch;
    watch.progress = [this](long rows) { rows_.store(rows, std::memory_order_relaxed); };
    watch.cancel = &cancel_;
    ListOutcome outcome;
    try {
      outcome = work(watch);
    } catch (const std::exception& error) {
      // A place table that cannot be opened, or memory run out.
      outcome = {2, false, error.what(), {}};
    }
    // Taken over on the job's own thread; dropped with the job if it is gone.
    QMetaObject::invokeMethod(
        this,
        [this, outcome = std::move(outcome)]() mutable {
          outcome_ = std::move(outcome);
          emit Finished();
        },
        Qt::QueuedConnection);
  });
}

ListJob::~ListJob() {
  Cancel();
  Wait();
}

void ListJob::Wait() {
  if (thread_.joinable()) thread_.join();
}
