// Puts the history's pictures on disk from a thread of its own, so that a
// capture appears at once whatever the size of its file: each as PNG through
// a temporary beside it (a GRIV ended half-way leaves no broken picture),
// then the oldest entries beyond the count go. A small picture of each one
// written is left in the thumbnail cache for the Recent Captures window.
#pragma once
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "base/background_worker.h"
#include "base/picture.h"

namespace griv {

// Thumbnails by file name, shared by the threads that make them and the
// window that shows them. Holds at most a fixed number; the least recently
// used goes first.
class ThumbnailCache {
 public:
  explicit ThumbnailCache(size_t capacity = 256) : capacity_(capacity) {}
  // A copy of the thumbnail of name made for maxW x maxH, if there is one.
  bool Get(const std::string& name, int maxW, int maxH, Picture& out);
  void Put(const std::string& name, int maxW, int maxH, Picture thumb);
  void Forget(const std::string& name);
  void Clear();

 private:
  struct Item {
    Picture thumb;
    int maxW = 0, maxH = 0;
    uint64_t used = 0;
  };
  std::mutex mutex_;
  std::map<std::string, Item> items_;
  size_t capacity_;
  uint64_t clock_ = 0;
};

// The thumbnail of a picture inside maxW x maxH (smoothly reduced, 24 bpp).
Picture MakeThumbnail(const Picture& pic, int maxW, int maxH);

class HistoryWriter {
 public:
  // folder ends with its separator; it is made when first written to.
  HistoryWriter(std::string folder, ThumbnailCache& thumbnails, int thumbW, int thumbH);

  const std::string& Folder() const { return folder_; }
  // Writes pic as fileName, then keeps at most keep entries.
  void Write(std::string fileName, Picture pic, int keep);
  // Keeps at most keep entries, and removes what unfinished writes left.
  void Prune(int keep);
  // Returns once everything handed over is on disk.
  void Drain() { worker_.Drain(); }

  // Raised on the writer's thread when a picture could not be written.
  std::function<void(const std::string& message)> OnFailure;

 private:
  void PruneNow(int keep);

  std::string folder_;
  ThumbnailCache& thumbnails_;
  int thumbW_, thumbH_;
  BackgroundWorker worker_;  // last: its thread ends before the members it uses
};

}  // namespace griv
