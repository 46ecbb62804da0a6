#include "base/background_worker.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace griv {

#ifdef _WIN32
struct BackgroundWorker::Sync {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE wake = CONDITION_VARIABLE_INIT, idle = CONDITION_VARIABLE_INIT;
  HANDLE thread = nullptr;
  void Lock() { AcquireSRWLockExclusive(&lock); }
  void Unlock() { ReleaseSRWLockExclusive(&lock); }
  void Wait(CONDITION_VARIABLE& c) { SleepConditionVariableSRW(&c, &lock, INFINITE, 0); }
  void WakeOne(CONDITION_VARIABLE& c) { WakeConditionVariable(&c); }
  void WakeAll(CONDITION_VARIABLE& c) { WakeAllConditionVariable(&c); }
  // The system starts a thread with a stack aligned to 4 bytes; the code
  // generated for this target assumes 16 (vector spills).
#ifdef __GNUC__
  __attribute__((force_align_arg_pointer))
#endif
  static DWORD WINAPI Main(void* worker) {
    static_cast<BackgroundWorker*>(worker)->Run();
    return 0;
  }
  void Start(BackgroundWorker* w) { thread = CreateThread(nullptr, 0, &Main, w, 0, nullptr); }
  void Join() {
    if (!thread) return;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
};
#else
struct BackgroundWorker::Sync {
  std::mutex mutex;
  std::condition_variable_any wake, idle;
  std::thread thread;
  void Lock() { mutex.lock(); }
  void Unlock() { mutex.unlock(); }
  void Wait(std::condition_variable_any& c) { c.wait(mutex); }
  void WakeOne(std::condition_variable_any& c) { c.notify_one(); }
  void WakeAll(std::condition_variable_any& c) { c.notify_all(); }
  void Start(BackgroundWorker* w) { thread = std::thread([w] { w->Run(); }); }
  void Join() { thread.join(); }
};
#endif

BackgroundWorker::BackgroundWorker() : sync_(std::make_unique<Sync>()) {
  sync_->Start(this);
}

BackgroundWorker::~BackgroundWorker() {
  sync_->Lock();
  stop_ = true;
  sync_->Unlock();
  sync_->WakeAll(sync_->wake);
  sync_->Join();
}

void BackgroundWorker::Post(std::function<void()> job) {
  sync_->Lock();
  jobs_.push_back(std::move(job));
  sync_->Unlock();
  sync_->WakeOne(sync_->wake);
}

void BackgroundWorker::PostFront(std::function<void()> job) {
  sync_->Lock();
  jobs_.push_front(std::move(job));
  sync_->Unlock();
  sync_->WakeOne(sync_->wake);
}

void BackgroundWorker::CancelPending() {
  sync_->Lock();
  jobs_.clear();
  const bool idle = !busy_;
  sync_->Unlock();
  if (idle) sync_->WakeAll(sync_->idle);
}

void BackgroundWorker::Drain() {
  sync_->Lock();
  while (!jobs_.empty() || busy_) sync_->Wait(sync_->idle);
  sync_->Unlock();
}

void BackgroundWorker::Run() {
  sync_->Lock();
  for (;;) {
    while (!stop_ && jobs_.empty()) sync_->Wait(sync_->wake);
    if (jobs_.empty()) break;  // stopping, and nothing left to do
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    sync_->Unlock();
    // A job reports its own failures; one that throws must not end the thread.
    try {
      job();
    } catch (...) {
    }
    job = nullptr;
    sync_->Lock();
    busy_ = false;
    if (jobs_.empty()) sync_->WakeAll(sync_->idle);
  }
  sync_->Unlock();
  sync_->WakeAll(sync_->idle);
}

}  // namespace griv
