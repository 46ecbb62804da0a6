#include "history/history_writer.h"

#include "base/file_io.h"
#include "history/history_names.h"
#include "image/png_codec.h"
#include "image/resample.h"

namespace griv {

bool ThumbnailCache::Get(const std::string& name, int maxW, int maxH, Picture& out) {
  std::lock_guard lock(mutex_);
  const auto it = items_.find(name);
  if (it == items_.end() || it->second.maxW != maxW || it->second.maxH != maxH) return false;
  it->second.used = ++clock_;
  out = it->second.thumb;
  return true;
}

void ThumbnailCache::Put(const std::string& name, int maxW, int maxH, Picture thumb) {
  std::lock_guard lock(mutex_);
  if (items_.size() >= capacity_ && !items_.count(name)) {
    auto oldest = items_.begin();
    for (auto it = items_.begin(); it != items_.end(); ++it)
      if (it->second.used < oldest->second.used) oldest = it;
    items_.erase(oldest);
  }
  items_[name] = Item{std::move(thumb), maxW, maxH, ++clock_};
}

void ThumbnailCache::Forget(const std::string& name) {
  std::lock_guard lock(mutex_);
  items_.erase(name);
}

void ThumbnailCache::Clear() {
  std::lock_guard lock(mutex_);
  items_.clear();
}

Picture MakeThumbnail(const Picture& pic, int maxW, int maxH) {
  const ThumbSize t = FitInside(pic.width, pic.height, maxW, maxH);
  if (t.width == pic.width && t.height == pic.height) return ConvertTo24(pic);
  return ShrinkSmooth(pic, t.width, t.height);
}

HistoryWriter::HistoryWriter(std::string folder, ThumbnailCache& thumbnails, int thumbW, int thumbH)
    : folder_(std::move(folder)), thumbnails_(thumbnails), thumbW_(thumbW), thumbH_(thumbH) {}

void HistoryWriter::Write(std::string fileName, Picture pic, int keep) {
  worker_.Post([this, fileName = std::move(fileName), pic = std::move(pic), keep] {
    try {
      MakeFolder(folder_);
      const std::vector<uint8_t> png = EncodePng(pic);
      WriteFileAtomic(folder_ + fileName, png.data(), png.size());
    } catch (const std::exception& e) {
      if (OnFailure) OnFailure(e.what());
      return;
    }
    try {
      thumbnails_.Put(fileName, thumbW_, thumbH_, MakeThumbnail(pic, thumbW_, thumbH_));
    } catch (const std::exception&) {
      // Made again from the file when it is first shown.
    }
    PruneNow(keep);
  });
}

void HistoryWriter::Prune(int keep) {
  worker_.Post([this, keep] {
    for (const std::string& n : UnfinishedWrites(ListFileNames(folder_))) DeleteFileUtf8(folder_ + n);
    PruneNow(keep);
  });
}

void HistoryWriter::PruneNow(int keep) {
  for (const std::string& n : FilesBeyond(HistoryFiles(ListFileNames(folder_)), keep)) {
    DeleteFileUtf8(folder_ + n);
    thumbnails_.Forget(n);
  }
}

}  // namespace griv
