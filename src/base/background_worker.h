// One thread that runs jobs in turn, off the GUI thread: writing files that
// must not delay what the user sees, making thumbnails. Jobs run in the order
// posted, except those put in front (the most wanted first). The destructor
// runs what is queued, then ends the thread.
#pragma once
#include <deque>
#include <functional>
#include <memory>

namespace griv {

class BackgroundWorker {
 public:
  BackgroundWorker();
  ~BackgroundWorker();
  BackgroundWorker(const BackgroundWorker&) = delete;
  BackgroundWorker& operator=(const BackgroundWorker&) = delete;

  void Post(std::function<void()> job);
  void PostFront(std::function<void()> job);
  // Drops the jobs that have not started.
  void CancelPending();
  // Returns once every job posted so far has run.
  void Drain();

 private:
  // The system's thread, lock and conditions (the Windows program uses the
  // kernel's own rather than carrying a threads library).
  struct Sync;
  void Run();

  std::unique_ptr<Sync> sync_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false, stop_ = false;
};

}  // namespace griv
